#include "engine/render/material.hpp"
#include "engine/render/render_passes.hpp"
#include "engine/render/vertex_modifier.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/node.hpp"

#include <new>

namespace korvid {

namespace {

// 0 when the mesh's bounding box lies behind the camera or wholly beyond one side of the
// clip rectangle, 2 when it lies wholly inside it, 1 otherwise.
uint32_t boxVisibility(const Mesh& mesh, const Matrix& modelView, const View& v) {
    int left = 0, right = 0, above = 0, below = 0, behind = 0;
    for (int i = 0; i < 8; ++i) {
        const Vector corner{i & 1 ? mesh.boundsMax.x : mesh.boundsMin.x,
                            i & 2 ? mesh.boundsMax.y : mesh.boundsMin.y,
                            i & 4 ? mesh.boundsMax.z : mesh.boundsMin.z};
        const Vector c = modelView.transform(corner);
        behind += c.z < 0.0f;
        const float sx = v.focal * c.x / c.z + v.cx;
        const float sy = v.focal * c.y / c.z + v.cy;
        left += sx < float(v.clip.xmin);
        right += sx > float(v.clip.xmax);
        above += sy < float(v.clip.ymin);
        below += sy > float(v.clip.ymax);
    }
    if (behind == 8)
        return 0;
    if (left == 8 || right == 8 || above == 8 || below == 8)
        return 0;
    return left + right + above + below == 0 ? 2 : 1;
}

// The modifiers of the node and of every mesh or container above it, nearest first.
void collectModifiers(Node* node, std::vector<VertexModifier*>& modifiers) {
    modifiers.clear();
    for (; node; node = node->parent)
        if (node->type == nodeMesh || node->type == nodeContainer)
            if (VertexModifier* m = static_cast<ContainerNode*>(node)->modifier)
                modifiers.push_back(m);
}

// World positions run through every modifier in turn, then into camera space; the
// positions each modifier was given are kept for the normals.
void transformModified(MeshNode& node, const Mesh& mesh, const Matrix& world, const View& v,
                       TransformScratch& scratch) {
    const size_t vertexCount = mesh.vertices.size();
    for (size_t i = 0; i < vertexCount; ++i)
        node.vertices[i].worldPosition = world.transform(mesh.vertices[i]);
    if (scratch.positionsBefore.size() < scratch.modifiers.size())
        scratch.positionsBefore.resize(scratch.modifiers.size());
    for (size_t k = 0; k < scratch.modifiers.size(); ++k) {
        VertexModifier* m = scratch.modifiers[k];
        std::vector<Vector>& positionsBefore = scratch.positionsBefore[k];
        positionsBefore.resize(vertexCount);
        for (size_t i = 0; i < vertexCount; ++i) {
            positionsBefore[i] = node.vertices[i].worldPosition;
            node.vertices[i].worldPosition = m->deformPosition(positionsBefore[i]);
        }
    }
    for (RenderVertex& vertex : node.vertices)
        vertex.cameraPosition = v.view.transform(vertex.worldPosition);
}

// The normals that a drawn face uses, through every modifier in turn with the position its
// vertex had before that modifier, then into camera space. The others are never read, and
// turning them would cost as much as turning the drawn ones: on a node whose modifier sits
// on a node above it, back faces are not drawn.
void turnDrawnNormals(MeshNode& node, const Mesh& mesh, const Matrix& worldNormal, const View& v,
                      TransformScratch& scratch) {
    // A node that carries a modifier itself and lies wholly inside the clip rectangle draws
    // every face, back faces too: all its normals are turned without looking.
    if (node.modifier && node.visibility == 2)
        scratch.normalDrawn.assign(node.normals.size(), 1);
    else
        markDrawnNormals(node, false, scratch.normalDrawn);
    const std::vector<uint8_t>& drawn = scratch.normalDrawn;
    const size_t normalCount = mesh.normals.size();
    for (size_t i = 0; i < normalCount; ++i)
        if (drawn[i])
            node.normals[i].worldNormal = worldNormal.transform(mesh.normals[i].normal);
    for (size_t k = 0; k < scratch.modifiers.size(); ++k) {
        VertexModifier* m = scratch.modifiers[k];
        const std::vector<Vector>& positionsBefore = scratch.positionsBefore[k];
        for (size_t i = 0; i < normalCount; ++i) {
            if (!drawn[i])
                continue;
            RenderNormal& n = node.normals[i];
            n.worldNormal =
                m->deformNormal(n.worldNormal, *n.vertex, positionsBefore[mesh.normals[i].vertex]);
        }
    }
    for (size_t i = 0; i < normalCount; ++i)
        if (drawn[i])
            node.normals[i].cameraNormal = v.viewNormal.transform(node.normals[i].worldNormal);
}

// Vertices nearer than z = 1 are projected as if at z = 1: there is no near clipping.
void project(MeshNode& node, const View& v) {
    for (RenderVertex& vertex : node.vertices) {
        const Vector& c = vertex.cameraPosition;
        const float w = c.z < 1.0f ? 1.0f : 1.0f / c.z;
        vertex.screenX = w * c.x * v.focal + v.cx;
        vertex.screenY = v.focal * c.y * w + v.cy;
        vertex.cameraZ = c.z;
        vertex.invZ = w;
    }
}

inline const RenderVertex& vertexOf(const RenderFace& face, int k) {
    return *face.corner[k]->normal->vertex;
}

// Back faces of one-sided materials are settled by their orientation alone; the others of
// a mesh that crosses the clip rectangle are culled when wholly beyond one of its sides or
// behind the camera.
void classifyFaces(MeshNode& node, const View& v) {
    const float xmin = float(v.clip.xmin), xmax = float(v.clip.xmax);
    const float ymin = float(v.clip.ymin), ymax = float(v.clip.ymax);
    const bool crossesClip = node.visibility == 1;
    for (RenderGroup& group : node.groups) {
        const Material* material = materialOf(group);
        const bool twoSided = material && material->twoSided();
        for (RenderFace& face : group.faces) {
            const RenderVertex& a = vertexOf(face, 0);
            const RenderVertex& b = vertexOf(face, 1);
            const RenderVertex& c = vertexOf(face, 2);
            face.culled = 0;
            const float cross = (c.screenX - a.screenX) * (c.screenY - b.screenY) -
                                (c.screenY - a.screenY) * (c.screenX - b.screenX);
            face.backFacing = cross >= 0.0f;
            if (face.backFacing && !twoSided)
                continue;
            if (!crossesClip)
                continue;
            face.culled = (a.cameraZ < 0.0f && b.cameraZ < 0.0f && c.cameraZ < 0.0f) ||
                          (a.screenX < xmin && b.screenX < xmin && c.screenX < xmin) ||
                          (a.screenX > xmax && b.screenX > xmax && c.screenX > xmax) ||
                          (a.screenY < ymin && b.screenY < ymin && c.screenY < ymin) ||
                          (a.screenY > ymax && b.screenY > ymax && c.screenY > ymax);
        }
    }
}

// Hard edges always; soft ones on the silhouette, between a front and a back face.
Error collectEdges(MeshNode& node, std::vector<DrawItem>& drawList) {
    try {
        for (RenderEdge& edge : node.edges) {
            if (!edge.hard) {
                const RenderFace* f0 = edge.face[0];
                const RenderFace* f1 = edge.face[1];
                if (!f0 || !f1 || f0->culled || f1->culled || f0->backFacing == f1->backFacing)
                    continue;
            }
            const float key = (edge.end[0]->cameraZ + edge.end[1]->cameraZ) * 0.5f;
            drawList.push_back(DrawItem{sortKey(key), DrawItem::edge, &edge});
        }
    } catch (const std::bad_alloc&) {
        return errMemory;
    }
    return errNone;
}

} // namespace

Error transformMeshNode(MeshNode& node, const View& v, bool flaggedPass, uint32_t renderMode,
                        TransformScratch& scratch, std::vector<DrawItem>& drawList) {
    node.visibility = 0;
    if (node.mesh.empty || node.flag != flaggedPass)
        return errNone;
    const Mesh* mesh = static_cast<const Mesh*>(node.mesh.resolved);
    if (!mesh)
        return errMeshNotFound;
    // Working arrays that were not built from this mesh (no link step since) hold nothing
    // to draw.
    if (node.vertices.size() != mesh->vertices.size() ||
        node.normals.size() != mesh->normals.size() || node.groups.size() != mesh->groups.size() ||
        node.edges.size() != mesh->edges.size())
        return errNone;

    const Matrix& world = node.world;
    const Matrix worldNormal = world.rotationPart();
    const Matrix modelView = v.view * world;
    node.visibility = boxVisibility(*mesh, modelView, v);
    if (node.visibility == 0)
        return errNone;

    try {
        collectModifiers(&node, scratch.modifiers);
        if (!scratch.modifiers.empty())
            transformModified(node, *mesh, world, v, scratch);
    } catch (const std::bad_alloc&) {
        node.visibility = 0;
        return errMemory;
    }
    if (scratch.modifiers.empty()) {
        const Matrix normalModelView = v.viewNormal * worldNormal;
        for (size_t i = 0; i < mesh->vertices.size(); ++i)
            node.vertices[i].cameraPosition = modelView.transform(mesh->vertices[i]);
        for (size_t i = 0; i < mesh->normals.size(); ++i)
            node.normals[i].cameraNormal = normalModelView.transform(mesh->normals[i].normal);
    }
    project(node, v);
    classifyFaces(node, v);
    if (!scratch.modifiers.empty()) {
        try {
            turnDrawnNormals(node, *mesh, worldNormal, v, scratch);
        } catch (const std::bad_alloc&) {
            node.visibility = 0;
            return errMemory;
        }
    }
    return renderMode != 0 ? collectEdges(node, drawList) : errNone;
}

} // namespace korvid
