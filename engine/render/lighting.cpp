#include "engine/render/light_normals.hpp"
#include "engine/render/material.hpp"
#include "engine/render/render_passes.hpp"
#include "engine/scene/scene.hpp"

#include <algorithm>
#include <new>

namespace korvid {

namespace {

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

void collectLights(Scene& scene, const View& v, std::vector<Light>& lights) {
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

// Lists the normals that the faces pass 3 will draw use: the others are not lit, and their
// corners stay black, which no pixel shows.
void findDrawnNormals(const MeshNode& node, LightingScratch& scratch) {
    markDrawnNormals(node, true, scratch.normalDrawn);
    scratch.drawnNormals.clear();
    for (size_t i = 0; i < scratch.normalDrawn.size(); ++i)
        if (scratch.normalDrawn[i])
            scratch.drawnNormals.push_back(uint32_t(i));
}

bool anyLitGroup(const MeshNode& node) {
    for (const RenderGroup& group : node.groups) {
        const Material* material = materialOf(group);
        if (material && material->lit())
            return true;
    }
    return false;
}

// The light at the normals that drawn faces use, the rest black; false when there is no
// light to gather or no room for the working lists (then the node stays unlit rather than
// partly lit).
bool lightDrawnNormals(const MeshNode& node, LightingScratch& scratch) {
    std::vector<Colour>& normalLight = scratch.normalLight;
    if (scratch.lights.empty() || !anyLitGroup(node))
        return false;
    try {
        if (normalLight.size() < node.normals.size())
            normalLight.resize(node.normals.size());
        findDrawnNormals(node, scratch);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::fill_n(normalLight.begin(), node.normals.size(), Colour{0.0f, 0.0f, 0.0f, 255.0f});
    lightNormals(scratch.lights, node.normals.data(), scratch.drawnNormals.data(),
                 scratch.drawnNormals.size(), normalLight.data());
    return true;
}

// Every corner's texture coordinates with its group's offset, and its colour: the light at
// its normal in lit groups, black in the others.
void lightMeshNode(MeshNode& node, LightingScratch& scratch) {
    const bool lit = lightDrawnNormals(node, scratch);
    const RenderNormal* firstNormal = node.normals.data();
    for (RenderGroup& group : node.groups) {
        const Material* material = materialOf(group);
        const bool litGroup = lit && material && material->lit();
        const std::vector<Corner>& from = group.group->corners;
        for (size_t i = 0; i < group.corners.size(); ++i) {
            RenderCorner& corner = group.corners[i];
            corner.u = from[i].uv.x + group.textureOffsetU;
            corner.v = from[i].uv.y + group.textureOffsetV;
            corner.colour = litGroup ? scratch.normalLight[size_t(corner.normal - firstNormal)]
                                     : Colour{0.0f, 0.0f, 0.0f, 255.0f};
        }
    }
}

} // namespace

void markDrawnNormals(const MeshNode& node, bool litOnly, std::vector<uint8_t>& drawn) {
    drawn.assign(node.normals.size(), 0);
    const RenderNormal* firstNormal = node.normals.data();
    for (const RenderGroup& group : node.groups) {
        const Material* material = materialOf(group);
        if (!material || (litOnly && !material->lit()))
            continue;
        const bool twoSided = material->twoSided();
        for (const RenderFace& face : group.faces) {
            if (!faceDrawn(face, node.modifier != nullptr, twoSided))
                continue;
            for (const RenderCorner* corner : face.corner)
                drawn[size_t(corner->normal - firstNormal)] = 1;
        }
    }
}

void lightScene(Scene& scene, const View& v, LightingScratch& scratch) {
    auto meshes = scene.nodesByType.find(nodeMesh);
    if (meshes == scene.nodesByType.end())
        return;
    try {
        collectLights(scene, v, scratch.lights);
    } catch (const std::bad_alloc&) {
        scratch.lights.clear(); // lit by nothing rather than by some
    }
    for (auto& [node, enabled] : meshes->second) {
        MeshNode& mesh = *static_cast<MeshNode*>(node);
        if (enabled && mesh.visibility != 0)
            lightMeshNode(mesh, scratch);
    }
}

} // namespace korvid
