#include "tools/common/file_completion.hpp"
#include "engine/math/elementary.hpp"
#include "engine/scene/rotation_keys.hpp"

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace tools {

namespace {

// 200 of 255: the grey of an untouched material in common modelling programs.
constexpr float neutralGrey = 200.0f / 255.0f;

void copyName(char* to, size_t size, const std::string& name) {
    std::strncpy(to, name.c_str(), size - 1);
    to[size - 1] = 0;
}

void addNeutralMaterial(Lib3dsFile& file, const std::string& name) {
    Lib3dsMaterial* material = lib3ds_material_new();
    copyName(material->name, sizeof material->name, name);
    for (int i = 0; i < 3; ++i) {
        material->ambient[i] = neutralGrey;
        material->diffuse[i] = neutralGrey;
    }
    lib3ds_file_insert_material(&file, material);
}

void completeMaterials(Lib3dsFile& file) {
    std::set<std::string> used, defined;
    bool unnamed = false;
    for (Lib3dsMaterial* m = file.materials; m; m = m->next)
        defined.insert(m->name);
    for (Lib3dsMesh* mesh = file.meshes; mesh; mesh = mesh->next)
        for (Lib3dsDword i = 0; i < mesh->faces; ++i) {
            const char* name = mesh->faceL[i].material;
            if (*name)
                used.insert(name);
            else
                unnamed = true;
        }
    for (const std::string& name : used)
        if (!defined.count(name))
            addNeutralMaterial(file, name);
    if (!unnamed)
        return;
    std::string name = noMaterialName;
    for (int suffix = 1; used.count(name) || defined.count(name); ++suffix)
        name = std::string(noMaterialName) + "." + std::to_string(suffix);
    addNeutralMaterial(file, name);
    for (Lib3dsMesh* mesh = file.meshes; mesh; mesh = mesh->next)
        for (Lib3dsDword i = 0; i < mesh->faces; ++i)
            if (!*mesh->faceL[i].material)
                copyName(mesh->faceL[i].material, sizeof mesh->faceL[i].material, name);
}

struct Placement {
    Lib3dsVector position{0.0f, 0.0f, 0.0f};
    Lib3dsVector axis{0.0f, 0.0f, 1.0f};
    float angle = 0.0f;
    Lib3dsVector scale{1.0f, 1.0f, 1.0f};
};

double dot(const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The mesh matrix as translation, rotation and scale. The rotation comes from the first
// two axes by Gram-Schmidt, so it is a proper rotation even for a skewed or mirrored
// matrix; the scales are the axes' lengths along it (the third negative for a mirror).
// A matrix that flattens an axis keeps only its translation. The caller replaces the
// mesh's matrix with the one the placement evaluates to, so the mesh's points stay
// where the file has them whatever was lost here.
Placement placementOf(const Lib3dsMatrix m) {
    Placement p;
    for (int i = 0; i < 3; ++i)
        p.position[i] = m[3][i];
    const double c0[3] = {m[0][0], m[0][1], m[0][2]}, c1[3] = {m[1][0], m[1][1], m[1][2]},
                 c2[3] = {m[2][0], m[2][1], m[2][2]};
    double r0[3], r1[3], r2[3];
    const double s0 = std::sqrt(dot(c0, c0));
    if (!(s0 > 1e-12))
        return p;
    for (int i = 0; i < 3; ++i)
        r0[i] = c0[i] / s0;
    const double along = dot(c1, r0);
    for (int i = 0; i < 3; ++i)
        r1[i] = c1[i] - along * r0[i];
    const double s1 = std::sqrt(dot(r1, r1));
    if (!(s1 > 1e-12))
        return p;
    for (int i = 0; i < 3; ++i)
        r1[i] /= s1;
    r2[0] = r0[1] * r1[2] - r0[2] * r1[1];
    r2[1] = r0[2] * r1[0] - r0[0] * r1[2];
    r2[2] = r0[0] * r1[1] - r0[1] * r1[0];
    const double s2 = dot(c2, r2);
    if (!(std::fabs(s2) > 1e-12))
        return p;

    // Quaternion of the rotation whose columns are r0, r1, r2 (element (i, j) is rj[i]),
    // from the largest of the four diagonal combinations for accuracy.
    const double* r[3] = {r0, r1, r2};
    const auto at = [&](int i, int j) { return r[j][i]; };
    const double trace = at(0, 0) + at(1, 1) + at(2, 2);
    double x, y, z, w;
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0) * 2.0;
        w = 0.25 * s;
        x = (at(2, 1) - at(1, 2)) / s;
        y = (at(0, 2) - at(2, 0)) / s;
        z = (at(1, 0) - at(0, 1)) / s;
    } else if (at(0, 0) > at(1, 1) && at(0, 0) > at(2, 2)) {
        const double s = std::sqrt(1.0 + at(0, 0) - at(1, 1) - at(2, 2)) * 2.0;
        w = (at(2, 1) - at(1, 2)) / s;
        x = 0.25 * s;
        y = (at(0, 1) + at(1, 0)) / s;
        z = (at(0, 2) + at(2, 0)) / s;
    } else if (at(1, 1) > at(2, 2)) {
        const double s = std::sqrt(1.0 + at(1, 1) - at(0, 0) - at(2, 2)) * 2.0;
        w = (at(0, 2) - at(2, 0)) / s;
        x = (at(0, 1) + at(1, 0)) / s;
        y = 0.25 * s;
        z = (at(1, 2) + at(2, 1)) / s;
    } else {
        const double s = std::sqrt(1.0 + at(2, 2) - at(0, 0) - at(1, 1)) * 2.0;
        w = (at(1, 0) - at(0, 1)) / s;
        x = (at(0, 2) + at(2, 0)) / s;
        y = (at(1, 2) + at(2, 1)) / s;
        z = 0.25 * s;
    }
    if (w < 0.0)
        x = -x, y = -y, z = -z, w = -w;
    // lib3ds turns an axis and angle into the quaternion (-axis sin(a/2), cos(a/2)).
    const double half = korvid::acos(std::min(1.0, w));
    const double sine = korvid::sin(half);
    if (sine > 1e-9) {
        p.angle = float(2.0 * half);
        p.axis[0] = float(-x / sine);
        p.axis[1] = float(-y / sine);
        p.axis[2] = float(-z / sine);
    }
    p.scale[0] = float(s0);
    p.scale[1] = float(s1);
    p.scale[2] = float(s2);
    return p;
}

void addVectorKey(Lib3dsLin3Track& track, const Lib3dsVector value) {
    Lib3dsLin3Key* key = lib3ds_lin3_key_new();
    for (int i = 0; i < 3; ++i)
        key->value[i] = value[i];
    lib3ds_lin3_track_insert(&track, key);
    lib3ds_lin3_track_setup(&track);
}

Lib3dsNode* meshNode(Lib3dsMesh& mesh, Lib3dsWord id) {
    Lib3dsNode* node = lib3ds_node_new_object();
    copyName(node->name, sizeof node->name, mesh.name);
    node->node_id = id;
    node->parent_id = LIB3DS_NO_PARENT;
    const Placement p = placementOf(mesh.matrix);
    Lib3dsObjectData& object = node->data.object;
    addVectorKey(object.pos_track, p.position);
    addVectorKey(object.scl_track, p.scale);
    Lib3dsQuatKey* key = lib3ds_quat_key_new();
    for (int i = 0; i < 3; ++i)
        key->axis[i] = p.axis[i];
    key->angle = p.angle;
    lib3ds_quat_track_insert(&object.rot_track, key);
    korvid::setUpRotationTrack(object.rot_track);
    return node;
}

void addMeshNodes(Lib3dsFile& file) {
    Lib3dsWord id = 0;
    for (Lib3dsMesh* mesh = file.meshes; mesh; mesh = mesh->next)
        lib3ds_file_insert_node(&file, meshNode(*mesh, id++));
    // The mesh's points are read into object space through the inverse of its matrix:
    // make that matrix the one lib3ds evaluates the node to, so the two cancel exactly.
    // The nodes are in the order of the meshes.
    lib3ds_file_eval(&file, 0.0f);
    Lib3dsNode* node = file.nodes;
    for (Lib3dsMesh* mesh = file.meshes; mesh && node; mesh = mesh->next, node = node->next)
        lib3ds_matrix_copy(mesh->matrix, node->matrix);
}

// The lib3ds nodes below `node` and its later siblings, parents first.
void collectNodes(Lib3dsNode* node, std::vector<Lib3dsNode*>& nodes) {
    for (; node; node = node->next) {
        nodes.push_back(node);
        collectNodes(node->childs, nodes);
    }
}

// The engine has no node for ambient light (it lights without an ambient term) nor for
// unknown kinds: such nodes leave the tree, and children they may have move to the top.
void removeForeignNodes(Lib3dsFile& file) {
    std::vector<Lib3dsNode*> nodes;
    collectNodes(file.nodes, nodes);
    for (Lib3dsNode* node : nodes) {
        if (node->type != LIB3DS_AMBIENT_NODE && node->type != LIB3DS_UNKNOWN_NODE)
            continue;
        while (Lib3dsNode* child = node->childs) {
            node->childs = child->next;
            child->next = nullptr;
            child->parent = nullptr;
            child->parent_id = LIB3DS_NO_PARENT;
            lib3ds_file_insert_node(&file, child);
        }
        lib3ds_file_remove_node(&file, node);
        lib3ds_node_free(node);
    }
}

} // namespace

void completeFile(Lib3dsFile& file) {
    completeMaterials(file);
    removeForeignNodes(file);
    if (!file.nodes)
        addMeshNodes(file);
    if (file.frames < 1)
        file.frames = 1;
}

korvid::Error importCompleted(korvid::Engine& engine, const std::string& name,
                              const std::string& fileName, korvid::Lib3dsFilePtr& file) {
    if (const korvid::Error e = korvid::read3dsFile(fileName, file))
        return e;
    completeFile(*file);
    return korvid::importLoaded(engine, name, *file);
}

} // namespace tools
