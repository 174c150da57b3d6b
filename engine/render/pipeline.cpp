#include "engine/render/pipeline.hpp"

#include "engine/core/pass_clock.hpp"
#include "engine/math/elementary.hpp"
#include "engine/render/edge_line.hpp"
#include "engine/render/material.hpp"
#include "engine/render/render_passes.hpp"
#include "engine/render/span_table.hpp"
#include "engine/scene/scene.hpp"

#include <algorithm>
#include <cmath>
#include <new>

namespace korvid {

RenderScratch renderScratch;

namespace {

// The camera's orthonormal axes as rows, each with its offset from the eye.
Matrix viewOf(const Matrix& camera) {
    const Vector eye = camera.getTranslation();
    Matrix view = Matrix::identity();
    for (int row = 0; row < 3; ++row) {
        const Vector axis = normalised(camera.column(row));
        view.m[row][0] = axis.x;
        view.m[row][1] = axis.y;
        view.m[row][2] = axis.z;
        view.m[row][3] = -dot(axis, eye);
    }
    return view;
}

// The given rectangle inside the colour surface.
Rect clipOf(const Surface& colour, const Rect* clip) {
    Rect r{0, colour.width, 0, colour.height};
    if (!clip)
        return r;
    r.xmin = std::clamp(clip->xmin, 0, colour.width);
    r.xmax = std::clamp(clip->xmax, r.xmin, colour.width);
    r.ymin = std::clamp(clip->ymin, 0, colour.height);
    r.ymax = std::clamp(clip->ymax, r.ymin, colour.height);
    return r;
}

// Grows the engine's own buffer to cover the colour surface, then clears it.
Error prepareEngineDepth(Surface& engineDepth, const Surface& colour) {
    if (engineDepth.width < colour.width || engineDepth.height < colour.height) {
        const Error e =
            engineDepth.create(std::max(engineDepth.width, colour.width),
                               std::max(engineDepth.height, colour.height), storageCells, false);
        if (e != errNone)
            return e;
    }
    engineDepth.clear();
    return errNone;
}

inline float farthestZ(const RenderFace& face) {
    const float a = face.corner[0]->normal->vertex->cameraZ;
    const float b = face.corner[1]->normal->vertex->cameraZ;
    const float c = face.corner[2]->normal->vertex->cameraZ;
    return sortKey(std::max(a, std::max(b, c)));
}

inline ScreenPoint screenOf(const RenderVertex& v) {
    return ScreenPoint{v.screenX, v.screenY, v.cameraZ, v.invZ};
}

// Pass 3: opaque faces at once in registry order, depth-sorted ones into the draw list.
// A back face reaches its material only on a deformed node or a two-sided material.
Error drawFaces(Scene& scene, const RenderContext& ctx, std::vector<DrawItem>& drawList) {
    auto meshes = scene.nodesByType.find(nodeMesh);
    if (meshes == scene.nodesByType.end())
        return errNone;
    for (auto& [node, enabled] : meshes->second) {
        MeshNode& mesh = *static_cast<MeshNode*>(node);
        if (!enabled || mesh.visibility == 0)
            continue;
        for (RenderGroup& group : mesh.groups) {
            Material* material = materialOf(group);
            if (!material)
                continue;
            const bool twoSided = material->twoSided();
            const bool sorted = material->depthSorted();
            for (RenderFace& face : group.faces) {
                if (!faceDrawn(face, mesh.modifier != nullptr, twoSided))
                    continue;
                if (!sorted) {
                    material->drawFace(ctx, face);
                    continue;
                }
                try {
                    drawList.push_back(DrawItem{farthestZ(face), DrawItem::face, &face});
                } catch (const std::bad_alloc&) {
                    return errMemory;
                }
            }
        }
    }
    return errNone;
}

// Farthest first; edges are drawn darkening (mode 2) or blending (mode 1), others not at all.
// The timer splits the walk between faces and edges.
void drawSortedList(const RenderContext& ctx, std::vector<DrawItem>& drawList, uint32_t renderMode,
                    PassTimer& timer) {
    std::sort(drawList.begin(), drawList.end(),
              [](const DrawItem& a, const DrawItem& b) { return a.key > b.key; });
    for (const DrawItem& d : drawList) {
        if (d.kind == DrawItem::face) {
            timer.switchTo(Pass::raster);
            RenderFace& face = *static_cast<RenderFace*>(d.item);
            materialOf(*face.group)->drawFace(ctx, face);
        } else if (renderMode == 1 || renderMode == 2) {
            timer.switchTo(Pass::edges);
            const RenderEdge& edge = *static_cast<RenderEdge*>(d.item);
            drawEdgeLine(ctx, screenOf(*edge.end[0]), screenOf(*edge.end[1]),
                         renderMode == 2 ? EdgeLineMode::darken : EdgeLineMode::blend);
        }
    }
}

} // namespace

Error renderScene(Surface* colour, Surface* depth, CameraNode* camera, Scene* scene,
                  const Rect* clip, const float* centreOffset, bool flaggedPass) {
    if (!camera)
        return errCameraNotFound;
    if (!colour)
        return errSurfaceNotFound;
    if (!camera->ownRotation && !camera->target.node)
        return errTargetNotFound;
    Scene* cameraScene = camera->scene();
    if (!cameraScene)
        return errCameraNotFound;
    PassTimer timer(Pass::scene);
    RenderScratch& scratch = renderScratch;

    View v;
    v.clip = clipOf(*colour, clip);
    const float width = float(colour->width), height = float(colour->height);
    v.cx = width * 0.5f;
    v.cy = height * 0.5f;
    if (centreOffset) {
        v.cx += width * centreOffset[0];
        v.cy += height * centreOffset[1];
    }

    if (scene && scene != cameraScene) {
        cameraScene->updateWorlds(camera);
        scene->updateWorlds(nullptr);
    } else {
        scene = cameraScene;
        cameraScene->updateWorlds(nullptr);
    }

    v.view = viewOf(camera->world);
    v.viewNormal = v.view.rotationPart();
    v.focal = width * 0.5f / korvid::tan(camera->fov * 0.5f);

    timer.switchTo(Pass::raster);
    if (depth) {
        if (depth->width < v.clip.xmax || depth->height < v.clip.ymax)
            return errZBufferSmall;
    } else {
        depth = &scratch.depth;
        if (const Error e = prepareEngineDepth(scratch.depth, *colour))
            return e;
    }
    scratch.drawList.clear();

    timer.switchTo(Pass::transform);
    const uint32_t renderMode = scene->root.renderMode;
    if (auto meshes = scene->nodesByType.find(nodeMesh); meshes != scene->nodesByType.end())
        for (auto& [node, enabled] : meshes->second) {
            MeshNode& mesh = *static_cast<MeshNode*>(node);
            if (!enabled) {
                mesh.visibility = 0;
                continue;
            }
            if (const Error e = transformMeshNode(mesh, v, flaggedPass, renderMode,
                                                  scratch.transform, scratch.drawList))
                return e;
        }
    timer.switchTo(Pass::lighting);
    lightScene(*scene, v, scratch.lighting);
    timer.switchTo(Pass::raster);

    RenderContext ctx;
    if (const Error e = colour->lock(ctx.colourPixels, ctx.colourPitch))
        return e;
    if (const Error e = depth->lock(ctx.depthPixels, ctx.depthPitch)) {
        colour->unlock();
        return e;
    }
    ctx.xmin = v.clip.xmin, ctx.xmax = v.clip.xmax;
    ctx.ymin = v.clip.ymin, ctx.ymax = v.clip.ymax;
    ctx.focalX = ctx.focalY = v.focal;
    ctx.spans = &scratch.spans;

    Error result = drawFaces(*scene, ctx, scratch.drawList);
    if (result == errNone && !scratch.drawList.empty())
        drawSortedList(ctx, scratch.drawList, renderMode, timer);
    depth->unlock();
    colour->unlock();
    return result;
}

} // namespace korvid
