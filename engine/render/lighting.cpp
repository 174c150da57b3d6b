#include "engine/render/material.hpp"
#include "engine/render/render_passes.hpp"
#include "engine/scene/scene.hpp"

#include <algorithm>
#include <cmath>
#include <new>

namespace korvid {

namespace {

// A light in camera space, prepared once per render.
struct Light {
    Vector position;
    Colour colour; // colour times multiplier
    bool rangeAttenuation;
    float innerRange, outerRange;
    bool cone; // a spotlight limited to its cone
    Vector axis;
    float hotspot, falloff; // full cone angles, radians
};

// Engine-wide, kept between renders: the lights of the scene, the light gathered at each
// normal of the mesh being lit (every corner on a normal sees the same vertex and normal),
// and which of its normals a drawn face uses.
std::vector<Light> lights;
std::vector<Colour> normalLight;
std::vector<uint8_t> normalDrawn;

template <class LightNode>
Light lightOf(const LightNode& node, const Matrix& toCamera) {
    Light l;
    l.position = toCamera.getTranslation();
    l.colour = node.colour.scaled(node.multiplier);
    l.rangeAttenuation = node.rangeAttenuation;
    l.innerRange = node.innerRange;
    l.outerRange = node.outerRange;
    l.cone = false;
    l.hotspot = l.falloff = 0.0f;
    return l;
}

void collectLights(Scene& scene, const View& v) {
    lights.clear();
    auto omni = scene.nodesByType.find(nodeOmniLight);
    if (omni != scene.nodesByType.end())
        for (auto& [node, enabled] : omni->second) {
            const OmniLightNode& light = *static_cast<OmniLightNode*>(node);
            if (enabled && !light.off)
                lights.push_back(lightOf(light, v.view * light.world));
        }
    auto spots = scene.nodesByType.find(nodeSpotLight);
    if (spots != scene.nodesByType.end())
        for (auto& [node, enabled] : spots->second) {
            const SpotLightNode& spot = *static_cast<SpotLightNode*>(node);
            if (!enabled || spot.off)
                continue;
            const Matrix s = v.view * spot.world;
            Light l = lightOf(spot, s);
            l.cone = !spot.overshoot;
            l.axis = normalised(s.column(2));
            l.hotspot = spot.hotspot;
            l.falloff = spot.falloff;
            lights.push_back(l);
        }
}

// Diffuse light from every light at a vertex V with normal N, both in camera space, on top
// of black: there is no ambient term, and nothing is clamped here.
Colour lightAt(const Vector& V, const Vector& N) {
    Colour sum{0.0f, 0.0f, 0.0f, 255.0f};
    for (const Light& l : lights) {
        // The direction is normalised inline so that its squared length doubles as the
        // squared distance: |P - V|^2 and |V - P|^2 differ only in the signs of the terms.
        const Vector toVertex = V - l.position;
        const float d2 = lengthSquared(toVertex);
        const float inverse = 1.0f / std::sqrt(d2);
        const Vector D{toVertex.x * inverse, toVertex.y * inverse, toVertex.z * inverse};
        Colour c = l.colour;
        if (l.rangeAttenuation) {
            if (d2 > l.outerRange * l.outerRange)
                continue;
            if (d2 > l.innerRange * l.innerRange) {
                const float t = (std::sqrt(d2) - l.innerRange) / (l.outerRange - l.innerRange);
                c = c.scaled(1.0f - t);
            }
        }
        if (l.cone) {
            // The clamp keeps acos defined when rounding leaves the cosine just beyond 1.
            const float a = 2.0f * std::acos(std::clamp(dot(l.axis, D), -1.0f, 1.0f));
            if (a >= l.falloff)
                continue;
            if (a >= l.hotspot)
                c = c.scaled(1.0f - (a - l.hotspot) / (l.falloff - l.hotspot));
        }
        const float k = -dot(D, N);
        if (k < 0.0f)
            continue;
        sum = sum + c.scaled(k);
    }
    return sum;
}

// Marks the normals that the faces pass 3 will draw use: the others are not lit, and their
// corners stay black, which no pixel shows.
void markDrawnNormals(const MeshNode& node) {
    normalDrawn.assign(node.normals.size(), 0);
    const RenderNormal* firstNormal = node.normals.data();
    for (const RenderGroup& group : node.groups) {
        const Material* material = materialOf(group);
        if (!material || !material->lit())
            continue;
        const bool backFacesToo = node.modifier || material->twoSided();
        for (const RenderFace& face : group.faces) {
            if (face.culled || (face.backFacing && !backFacesToo))
                continue;
            for (const RenderCorner* corner : face.corner)
                normalDrawn[size_t(corner->normal - firstNormal)] = 1;
        }
    }
}

void lightMeshNode(MeshNode& node) {
    bool anyLit = false;
    for (RenderGroup& group : node.groups) {
        const Material* material = materialOf(group);
        const std::vector<Corner>& from = group.group->corners;
        for (size_t i = 0; i < group.corners.size(); ++i) {
            RenderCorner& corner = group.corners[i];
            corner.u = from[i].uv.x + group.textureOffsetU;
            corner.v = from[i].uv.y + group.textureOffsetV;
            corner.colour = Colour{0.0f, 0.0f, 0.0f, 255.0f};
        }
        anyLit = anyLit || (material && material->lit());
    }
    if (!anyLit || lights.empty())
        return;
    try {
        if (normalLight.size() < node.normals.size())
            normalLight.resize(node.normals.size());
        markDrawnNormals(node);
    } catch (const std::bad_alloc&) {
        return; // unlit rather than partly lit
    }

    for (size_t i = 0; i < node.normals.size(); ++i) {
        const RenderNormal& n = node.normals[i];
        normalLight[i] = normalDrawn[i] ? lightAt(n.vertex->cameraPosition, n.cameraNormal)
                                        : Colour{0.0f, 0.0f, 0.0f, 255.0f};
    }
    const RenderNormal* firstNormal = node.normals.data();
    for (RenderGroup& group : node.groups) {
        const Material* material = materialOf(group);
        if (!material || !material->lit())
            continue;
        for (RenderCorner& corner : group.corners)
            corner.colour = normalLight[size_t(corner.normal - firstNormal)];
    }
}

} // namespace

void lightScene(Scene& scene, const View& v) {
    auto meshes = scene.nodesByType.find(nodeMesh);
    if (meshes == scene.nodesByType.end())
        return;
    try {
        collectLights(scene, v);
    } catch (const std::bad_alloc&) {
        lights.clear(); // lit by nothing rather than by some
    }
    for (auto& [node, enabled] : meshes->second) {
        MeshNode& mesh = *static_cast<MeshNode*>(node);
        if (enabled && mesh.visibility != 0)
            lightMeshNode(mesh);
    }
}

} // namespace korvid
