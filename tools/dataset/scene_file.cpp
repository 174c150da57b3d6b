#include "scene_file.hpp"
#include "engine/math/elementary.hpp"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cmath>
#include <cstring>

namespace dataset {

namespace {

constexpr Lib3dsDword loopFlags = LIB3DS_REPEAT | LIB3DS_SMOOTH;

void copyName(char* to, const std::string& from, size_t capacity) {
    std::strncpy(to, from.c_str(), capacity - 1);
    to[capacity - 1] = '\0';
}

void store(float* to, Vec3 v) {
    to[0] = v.x;
    to[1] = v.y;
    to[2] = v.z;
}

void store(float* to, Rgb c) {
    to[0] = c.r;
    to[1] = c.g;
    to[2] = c.b;
}

void setVectors(Lib3dsLin3Track& track, const std::vector<Key<Vec3>>& keys, bool loop) {
    lib3ds_lin3_track_free_keys(&track);
    track.keyL = nullptr;
    track.flags = loop ? loopFlags : 0;
    for (const Key<Vec3>& k : keys) {
        Lib3dsLin3Key* key = lib3ds_lin3_key_new();
        key->tcb.frame = k.frame;
        key->value[0] = k.value.x;
        key->value[1] = k.value.y;
        key->value[2] = k.value.z;
        lib3ds_lin3_track_insert(&track, key);
    }
}

void setScalar(Lib3dsLin1Track& track, float value) {
    lib3ds_lin1_track_free_keys(&track);
    track.keyL = nullptr;
    Lib3dsLin1Key* key = lib3ds_lin1_key_new();
    key->value = value;
    lib3ds_lin1_track_insert(&track, key);
}

void setColour(Lib3dsLin3Track& track, Rgb colour) {
    setVectors(track, {{0, {colour.r, colour.g, colour.b}}}, false);
}

} // namespace

SceneFile::SceneFile(int frames) : file(lib3ds_file_new()) {
    file->frames = frames;
    file->segment_from = 0;
    file->segment_to = frames;
    file->current_frame = 0;
    file->mesh_version = 3;
    file->keyf_revision = 5;
    file->master_scale = 1.0f;
    copyName(file->name, "korvid", sizeof(file->name));
}

SceneFile::~SceneFile() {
    lib3ds_file_free(file);
}

void SceneFile::addMesh(const MeshData& data) {
    Lib3dsMesh* mesh = lib3ds_mesh_new(data.name.c_str());
    lib3ds_mesh_new_point_list(mesh, Lib3dsDword(data.points.size()));
    lib3ds_mesh_new_texel_list(mesh, Lib3dsDword(data.points.size()));
    for (size_t i = 0; i < data.points.size(); ++i) {
        mesh->pointL[i].pos[0] = data.points[i].x;
        mesh->pointL[i].pos[1] = data.points[i].y;
        mesh->pointL[i].pos[2] = data.points[i].z;
        mesh->texelL[i][0] = data.u[i];
        mesh->texelL[i][1] = data.v[i];
    }
    lib3ds_mesh_new_face_list(mesh, Lib3dsDword(data.faces.size()));
    for (size_t i = 0; i < data.faces.size(); ++i) {
        Lib3dsFace& face = mesh->faceL[i];
        face.points[0] = data.faces[i].a;
        face.points[1] = data.faces[i].b;
        face.points[2] = data.faces[i].c;
        face.smoothing = data.faces[i].smoothing;
        // All three edges visible, as modelling programs write them.
        face.flags = LIB3DS_FACE_FLAG_VIS_AB | LIB3DS_FACE_FLAG_VIS_BC | LIB3DS_FACE_FLAG_VIS_AC;
        copyName(face.material, data.faces[i].material, sizeof(face.material));
    }
    lib3ds_file_insert_mesh(file, mesh);
}

NodeId SceneFile::insert(Lib3dsNode* node, const std::string& name, NodeId parent) {
    copyName(node->name, name, sizeof(node->name));
    node->node_id = Lib3dsWord(nodes.size());
    node->parent_id = parent == noParent ? LIB3DS_NO_PARENT : Lib3dsWord(parent);
    lib3ds_file_insert_node(file, node);
    nodes.push_back(node);
    return NodeId(nodes.size() - 1);
}

NodeId SceneFile::addObject(const std::string& name, NodeId parent, Vec3 pivot) {
    Lib3dsNode* node = lib3ds_node_new_object();
    store(node->data.object.pivot, pivot);
    const NodeId id = insert(node, name, parent);
    setPosition(id, {{0, pivot}});
    setRotation(id, {{0, Quat{}}});
    setScale(id, {{0, Vec3{1, 1, 1}}});
    return id;
}

NodeId SceneFile::addDummy(const std::string& label, NodeId parent) {
    const NodeId id = addObject("$$$DUMMY", parent);
    copyName(nodes[size_t(id)]->data.object.instance, label,
             sizeof(nodes[size_t(id)]->data.object.instance));
    return id;
}

void SceneFile::setPosition(NodeId node, const std::vector<Key<Vec3>>& keys, bool loop) {
    Lib3dsNode* n = nodes[size_t(node)];
    switch (n->type) {
    case LIB3DS_OBJECT_NODE:
        setVectors(n->data.object.pos_track, keys, loop);
        break;
    case LIB3DS_CAMERA_NODE:
        setVectors(n->data.camera.pos_track, keys, loop);
        break;
    case LIB3DS_TARGET_NODE:
        setVectors(n->data.target.pos_track, keys, loop);
        break;
    case LIB3DS_LIGHT_NODE:
        setVectors(n->data.light.pos_track, keys, loop);
        break;
    case LIB3DS_SPOT_NODE:
        setVectors(n->data.spot.pos_track, keys, loop);
        break;
    default:
        break;
    }
}

void SceneFile::setRotation(NodeId node, const std::vector<Key<Quat>>& keys, bool loop) {
    Lib3dsQuatTrack& track = nodes[size_t(node)]->data.object.rot_track;
    lib3ds_quat_track_free_keys(&track);
    track.keyL = nullptr;
    track.flags = loop ? loopFlags : 0;
    // The file stores each key as a turn from the previous key's orientation, with the
    // angle's sign reversed against the right-hand rule. Every step is taken the short
    // way round so that consecutive orientations stay in the same hemisphere.
    // Steps are renormalised: a product of two rounded unit quaternions is a little off
    // unit length, and the error would compound from key to key.
    Quat previous{};
    for (const Key<Quat>& k : keys) {
        Quat step = k.value * conjugate(previous);
        const float norm =
            std::sqrt(step.x * step.x + step.y * step.y + step.z * step.z + step.w * step.w);
        const float sign = step.w < 0.0f ? -1.0f / norm : 1.0f / norm;
        step = {step.x * sign, step.y * sign, step.z * sign, step.w * sign};
        const float s = std::sqrt(step.x * step.x + step.y * step.y + step.z * step.z);
        Lib3dsQuatKey* key = lib3ds_quat_key_new();
        key->tcb.frame = k.frame;
        if (s > 1e-7f) {
            key->axis[0] = step.x / s;
            key->axis[1] = step.y / s;
            key->axis[2] = step.z / s;
            key->angle = -2.0f * korvid::atan2(s, step.w);
        } else {
            key->axis[2] = 1.0f;
        }
        lib3ds_quat_track_insert(&track, key);
        previous = step * previous;
    }
}

void SceneFile::setScale(NodeId node, const std::vector<Key<Vec3>>& keys, bool loop) {
    setVectors(nodes[size_t(node)]->data.object.scl_track, keys, loop);
}

CameraNodes SceneFile::addCamera(const std::string& name, Vec3 position, Vec3 target, float fov,
                                 float roll) {
    Lib3dsCamera* camera = lib3ds_camera_new(name.c_str());
    store(camera->position, position);
    store(camera->target, target);
    camera->fov = fov;
    camera->roll = roll;
    camera->near_range = 1.0f;
    camera->far_range = 10000.0f;
    lib3ds_file_insert_camera(file, camera);

    Lib3dsNode* node = lib3ds_node_new_camera();
    const NodeId id = insert(node, name, noParent);
    setPosition(id, {{0, position}});
    setScalar(node->data.camera.fov_track, fov);
    setScalar(node->data.camera.roll_track, roll);
    const NodeId aim = insert(lib3ds_node_new_target(), name, noParent);
    setPosition(aim, {{0, target}});
    return {id, aim};
}

void SceneFile::addOmni(const std::string& name, Vec3 position, Rgb colour, float multiplier) {
    Lib3dsLight* light = lib3ds_light_new(name.c_str());
    store(light->position, position);
    store(light->color, colour);
    light->multiplier = multiplier;
    light->inner_range = 1000.0f;
    light->outer_range = 10000.0f;
    lib3ds_file_insert_light(file, light);

    Lib3dsNode* node = lib3ds_node_new_light();
    const NodeId id = insert(node, name, noParent);
    setPosition(id, {{0, position}});
    setColour(node->data.light.col_track, colour);
}

void SceneFile::addSpot(const std::string& name, Vec3 position, Vec3 target, Rgb colour,
                        float hotspot, float falloff, float innerRange, float outerRange,
                        float multiplier) {
    Lib3dsLight* light = lib3ds_light_new(name.c_str());
    light->spot_light = LIB3DS_TRUE;
    store(light->position, position);
    store(light->spot, target);
    store(light->color, colour);
    light->hot_spot = hotspot;
    light->fall_off = falloff;
    light->multiplier = multiplier;
    light->inner_range = innerRange;
    light->outer_range = outerRange;
    lib3ds_file_insert_light(file, light);

    Lib3dsNode* node = lib3ds_node_new_light();
    const NodeId id = insert(node, name, noParent);
    setPosition(id, {{0, position}});
    setColour(node->data.light.col_track, colour);
    setScalar(node->data.light.hotspot_track, hotspot);
    setScalar(node->data.light.falloff_track, falloff);
    setScalar(node->data.light.roll_track, 0.0f);
    const NodeId aim = insert(lib3ds_node_new_spot(), name, noParent);
    setPosition(aim, {{0, target}});
}

bool SceneFile::save(const std::string& path) {
    return lib3ds_file_save(file, path.c_str());
}

} // namespace dataset
