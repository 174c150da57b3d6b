#include "engine/scene/node_builders.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/track_convert.hpp"

#include <lib3ds/file.h>
#include <lib3ds/light.h>

#include <cstdio>
#include <cstring>

namespace korvid {

namespace {

Vector exchanged(const Lib3dsVector v) {
    return {v[1], v[0], v[2]};
}

void objectTracks(ContainerNode& node, Lib3dsObjectData& data) {
    node.pivot = exchanged(data.pivot);
    convertVectorTrack(node.position, node.positionTrack, data.pos_track);
    convertRotationTrack(node.rotation, node.rotationTrack, data.rot_track);
    convertVectorTrack(node.scale, node.scaleTrack, data.scl_track);
}

Error buildContainer(Lib3dsNode& from, std::unique_ptr<Node>& node) {
    auto container = std::make_unique<ContainerNode>();
    objectTracks(*container, from.data.object);
    node = std::move(container);
    return errNone;
}

// A mesh converted before, by this import or an earlier one, is shared.
Error buildMesh(ImportContext& context, Lib3dsNode& from, std::unique_ptr<Node>& node) {
    Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(context.file, from.name);
    if (!mesh)
        return errFileFormat;
    const Error converted = convertMesh(context.engine, mesh);
    if (converted != errNone && converted != errNameInUse)
        return converted;
    auto placed = std::make_unique<MeshNode>();
    placed->mesh = ResourceRef(kindMesh, from.name);
    objectTracks(*placed, from.data.object);
    node = std::move(placed);
    return errNone;
}

Error buildCamera(ImportContext& context, Lib3dsNode& from, std::unique_ptr<Node>& node) {
    if (!lib3ds_file_camera_by_name(context.file, from.name))
        return errFileFormat;
    auto camera = std::make_unique<CameraNode>();
    camera->target = NodeRef(std::string("/") + from.name + ".ctarget");
    Lib3dsCameraData& data = from.data.camera;
    convertVectorTrack(camera->position, camera->positionTrack, data.pos_track);
    convertScalarTrack(camera->roll, camera->rollTrack, data.roll_track);
    convertScalarTrack(camera->fov, camera->fovTrack, data.fov_track);
    node = std::move(camera);
    return errNone;
}

Error buildTarget(Lib3dsLin3Track& positions, std::unique_ptr<Node>& node) {
    auto target = std::make_unique<TargetNode>();
    convertVectorTrack(target->position, target->positionTrack, positions);
    node = std::move(target);
    return errNone;
}

Error buildLight(ImportContext& context, Lib3dsNode& from, std::unique_ptr<Node>& node) {
    const Lib3dsLight* light = lib3ds_file_light_by_name(context.file, from.name);
    if (!light)
        return errFileFormat;
    Lib3dsLightData& data = from.data.light;
    if (!light->spot_light) {
        auto omni = std::make_unique<OmniLightNode>();
        omni->off = light->off;
        omni->multiplier = light->multiplier;
        omni->innerRange = light->inner_range;
        omni->outerRange = light->outer_range;
        convertVectorTrack(omni->position, omni->positionTrack, data.pos_track);
        convertColourTrack(omni->colour, omni->colourTrack, data.col_track);
        node = std::move(omni);
        return errNone;
    }
    auto spot = std::make_unique<SpotLightNode>();
    spot->off = light->off;
    spot->multiplier = light->multiplier;
    spot->overshoot = light->spot_overshoot;
    spot->innerRange = light->inner_range;
    spot->outerRange = light->outer_range;
    spot->target = NodeRef(std::string("/") + from.name + ".starget");
    convertVectorTrack(spot->position, spot->positionTrack, data.pos_track);
    convertScalarTrack(spot->roll, spot->rollTrack, data.roll_track);
    convertColourTrack(spot->colour, spot->colourTrack, data.col_track);
    convertScalarTrack(spot->hotspot, spot->hotspotTrack, data.hotspot_track);
    convertScalarTrack(spot->falloff, spot->falloffTrack, data.falloff_track);
    node = std::move(spot);
    return errNone;
}

} // namespace

Error buildNode(ImportContext& context, Lib3dsNode& from, std::unique_ptr<Node>& node,
                std::string& name) {
    name = from.name;
    switch (from.type) {
    case LIB3DS_OBJECT_NODE:
        if (name == "$$$DUMMY") {
            name = "container";
            return buildContainer(from, node);
        }
        return buildMesh(context, from, node);
    case LIB3DS_CAMERA_NODE:
        return buildCamera(context, from, node);
    case LIB3DS_TARGET_NODE:
        name += ".ctarget";
        return buildTarget(from.data.target.pos_track, node);
    case LIB3DS_LIGHT_NODE:
        return buildLight(context, from, node);
    case LIB3DS_SPOT_NODE:
        name += ".starget";
        return buildTarget(from.data.spot.pos_track, node);
    default:
        return errInvalidCall;
    }
}

std::string uniqueChildName(const std::string& name, const Node& parent) {
    if (!parent.children.count(name))
        return name;
    char candidate[256];
    for (int i = 0;; ++i) {
        std::snprintf(candidate, sizeof candidate, "%s.%i", name.c_str(), i);
        if (!parent.children.count(candidate))
            return candidate;
    }
}

} // namespace korvid
