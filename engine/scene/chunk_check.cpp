#include "engine/scene/chunk_check.hpp"
#include "engine/scene/chunk_walk.hpp"
#include "engine/scene/keyframer_check.hpp"

#include <lib3ds/chunk.h>

#include <algorithm>
#include <bitset>
#include <utility>

namespace korvid {

namespace {

enum class KeyValue { none, scalar, vector, quaternion, name };

enum class NodeKind { ambient, object, camera, target, light, spotTarget };

NodeKind nodeKind(uint16_t tag) {
    switch (tag) {
    case LIB3DS_AMBIENT_NODE_TAG:
        return NodeKind::ambient;
    case LIB3DS_OBJECT_NODE_TAG:
        return NodeKind::object;
    case LIB3DS_CAMERA_NODE_TAG:
        return NodeKind::camera;
    case LIB3DS_TARGET_NODE_TAG:
        return NodeKind::target;
    case LIB3DS_L_TARGET_NODE_TAG:
        return NodeKind::spotTarget;
    default: // light and spotlight tags make the same node
        return NodeKind::light;
    }
}

bool nothing() {
    return true;
}

// The chunks lib3ds reads in each context, with what it reads of each and where it links
// and evaluates nodes.
class Reader : ChunkWalk {
public:
    using ChunkWalk::ChunkWalk;

    ChunkCheck file() {
        Chunk top;
        uint16_t id;
        if (!start(top, id))
            return verdict;
        bool read = false;
        switch (id) {
        case LIB3DS_MDATA:
            read = mdata();
            break;
        case LIB3DS_M3DMAGIC:
        case LIB3DS_MLIBMAGIC:
        case LIB3DS_CMAGIC:
            read = children(top, [this](uint16_t id) {
                switch (id) {
                case LIB3DS_M3D_VERSION:
                    return skip(4);
                case LIB3DS_MDATA:
                    return mdata();
                case LIB3DS_KFDATA:
                    return kfdata();
                default:
                    return true;
                }
            });
            break;
        default:
            return ChunkCheck::refused;
        }
        if (!read)
            return verdict;
        return keyframer.evaluates() ? ChunkCheck::readable : ChunkCheck::unsafe;
    }

private:
    bool anyColour(uint16_t id) {
        switch (id) {
        case LIB3DS_COLOR_24:
        case LIB3DS_LIN_COLOR_24:
            return skip(3);
        case LIB3DS_COLOR_F:
        case LIB3DS_LIN_COLOR_F:
            return skip(12);
        default:
            return true;
        }
    }

    bool floatColour(uint16_t id) {
        return (id != LIB3DS_COLOR_F && id != LIB3DS_LIN_COLOR_F) || skip(12);
    }

    bool textureMap(uint16_t id) {
        switch (id) {
        case LIB3DS_INT_PERCENTAGE:
        case LIB3DS_MAT_MAP_TILING:
            return skip(2);
        case LIB3DS_MAT_MAPNAME:
            return name(64);
        case LIB3DS_MAT_MAP_TEXBLUR:
        case LIB3DS_MAT_MAP_USCALE:
        case LIB3DS_MAT_MAP_VSCALE:
        case LIB3DS_MAT_MAP_UOFFSET:
        case LIB3DS_MAT_MAP_VOFFSET:
        case LIB3DS_MAT_MAP_ANG:
            return skip(4);
        case LIB3DS_MAT_MAP_COL1:
        case LIB3DS_MAT_MAP_COL2:
        case LIB3DS_MAT_MAP_RCOL:
        case LIB3DS_MAT_MAP_GCOL:
        case LIB3DS_MAT_MAP_BCOL:
            return skip(3);
        default:
            return true;
        }
    }

    bool material() {
        return sub(nothing, [this](uint16_t id) {
            switch (id) {
            case LIB3DS_MAT_NAME:
                return name(64);
            case LIB3DS_MAT_AMBIENT:
            case LIB3DS_MAT_DIFFUSE:
            case LIB3DS_MAT_SPECULAR:
                return sub(nothing, [this](uint16_t id) { return anyColour(id); });
            case LIB3DS_MAT_SHININESS:
            case LIB3DS_MAT_SHIN2PCT:
            case LIB3DS_MAT_TRANSPARENCY:
            case LIB3DS_MAT_XPFALL:
            case LIB3DS_MAT_SELF_ILPCT:
            case LIB3DS_MAT_REFBLUR:
                return sub(nothing,
                           [this](uint16_t id) { return id != LIB3DS_INT_PERCENTAGE || skip(2); });
            case LIB3DS_MAT_SHADING:
                return skip(2);
            case LIB3DS_MAT_WIRE_SIZE:
                return skip(4);
            case LIB3DS_MAT_ACUBIC:
                return skip(12);
            case LIB3DS_MAT_TEXMAP:
            case LIB3DS_MAT_TEXMASK:
            case LIB3DS_MAT_TEX2MAP:
            case LIB3DS_MAT_TEX2MASK:
            case LIB3DS_MAT_OPACMAP:
            case LIB3DS_MAT_OPACMASK:
            case LIB3DS_MAT_BUMPMAP:
            case LIB3DS_MAT_BUMPMASK:
            case LIB3DS_MAT_SPECMAP:
            case LIB3DS_MAT_SPECMASK:
            case LIB3DS_MAT_SHINMAP:
            case LIB3DS_MAT_SHINMASK:
            case LIB3DS_MAT_SELFIMAP:
            case LIB3DS_MAT_SELFIMASK:
            case LIB3DS_MAT_REFLMAP:
            case LIB3DS_MAT_REFLMASK:
                return sub(nothing, [this](uint16_t id) { return textureMap(id); });
            default:
                return true;
            }
        });
    }

    bool layout() {
        return sub([this] { return skip(14); },
                   [this](uint16_t id) {
                       switch (id) {
                       case LIB3DS_VIEWPORT_SIZE:
                           return skip(8);
                       case LIB3DS_VIEWPORT_DATA_3:
                           return skip(49);
                       default:
                           return true;
                       }
                   });
    }

    bool defaultView() {
        return sub(nothing, [this](uint16_t id) {
            switch (id) {
            case LIB3DS_VIEW_TOP:
            case LIB3DS_VIEW_BOTTOM:
            case LIB3DS_VIEW_LEFT:
            case LIB3DS_VIEW_RIGHT:
            case LIB3DS_VIEW_FRONT:
            case LIB3DS_VIEW_BACK:
                return skip(16);
            case LIB3DS_VIEW_USER:
                return skip(28);
            case LIB3DS_VIEW_CAMERA:
                return skip(11);
            default:
                return true;
            }
        });
    }

    // lib3ds keeps three gradient colours of each kind in fixed arrays.
    bool gradient() {
        int plain = 0, linear = 0;
        return sub([this] { return skip(4); },
                   [&](uint16_t id) {
                       if ((id == LIB3DS_COLOR_F && ++plain > 3) ||
                           (id == LIB3DS_LIN_COLOR_F && ++linear > 3))
                           return unsafe();
                       return floatColour(id);
                   });
    }

    bool light() {
        return sub([this] { return skip(12); },
                   [this](uint16_t id) {
                       switch (id) {
                       case LIB3DS_COLOR_F:
                           return skip(12);
                       case LIB3DS_DL_OUTER_RANGE:
                       case LIB3DS_DL_INNER_RANGE:
                       case LIB3DS_DL_MULTIPLIER:
                       case LIB3DS_DL_EXCLUDE:
                       case LIB3DS_DL_ATTENUATE:
                           return skip(4);
                       case LIB3DS_DL_SPOTLIGHT:
                           return sub([this] { return skip(20); },
                                      [this](uint16_t id) {
                                          switch (id) {
                                          case LIB3DS_DL_SPOT_ROLL:
                                          case LIB3DS_DL_SPOT_ASPECT:
                                          case LIB3DS_DL_RAY_BIAS:
                                              return skip(4);
                                          case LIB3DS_DL_LOCAL_SHADOW2:
                                              return skip(10);
                                          case LIB3DS_DL_SPOT_PROJECTOR:
                                              // A failed projector name is not a failure.
                                              return string(64) || verdict == ChunkCheck::readable;
                                          default:
                                              return true;
                                          }
                                      });
                       default:
                           return true;
                       }
                   });
    }

    // Faces: a count and four words each; the subchunks follow only when there are faces.
    // A new face array replaces the faces before it.
    bool faceArray(uint32_t& faces, uint32_t& pointsUsed) {
        Chunk c;
        uint16_t count;
        if (!enter(c) || !u16(count) || !skip(uint64_t(count) * 8))
            return false;
        faces = count;
        pointsUsed = 0;
        for (const uint8_t* face = data + at - size_t(count) * 8; face != data + at; face += 8)
            for (int k = 0; k < 3; ++k)
                pointsUsed = std::max(pointsUsed, (face[2 * k] | face[2 * k + 1] << 8) + 1u);
        if (!count)
            return true;
        c.cur = uint32_t(at);
        return children(c, [&](uint16_t id) {
            switch (id) {
            case LIB3DS_SMOOTH_GROUP:
                return skip(uint64_t(faces) * 4);
            case LIB3DS_MSH_MAT_GROUP: {
                // Every index names a face whose material lib3ds writes.
                uint16_t n, index;
                if (!name(64) || !u16(n))
                    return false;
                for (uint32_t i = 0; i < n; ++i)
                    if (!u16(index) || (index >= faces && !unsafe()))
                        return false;
                return true;
            }
            case LIB3DS_MSH_BOXMAP:
                for (int side = 0; side < 6; ++side)
                    if (!name(64))
                        return false;
                return true;
            default:
                return true;
            }
        });
    }

    // A count of items of `item` bytes.
    bool array(uint64_t item, uint32_t* count) {
        uint16_t n;
        if (!u16(n))
            return false;
        if (count)
            *count = n;
        return skip(n * item);
    }

    // lib3ds computes the face normals when the mesh is read: every point index of the
    // last face array must lie below the count of the last point array.
    bool mesh() {
        uint32_t points = 0, faces = 0, pointsUsed = 0;
        return sub(nothing,
                   [&](uint16_t id) {
                       switch (id) {
                       case LIB3DS_POINT_ARRAY:
                           return array(12, &points);
                       case LIB3DS_POINT_FLAG_ARRAY:
                           return array(2, nullptr);
                       case LIB3DS_TEX_VERTS:
                           return array(8, nullptr);
                       case LIB3DS_FACE_ARRAY:
                           return faceArray(faces, pointsUsed);
                       case LIB3DS_MESH_MATRIX:
                           return skip(48);
                       case LIB3DS_MESH_COLOR:
                           return skip(1);
                       case LIB3DS_MESH_TEXTURE_INFO:
                           return skip(84);
                       default:
                           return true;
                       }
                   }) &&
               (pointsUsed <= points || unsafe());
    }

    bool namedObject() {
        return sub([this] { return name(64); },
                   [this](uint16_t id) {
                       switch (id) {
                       case LIB3DS_N_TRI_OBJECT:
                           return mesh();
                       case LIB3DS_N_CAMERA:
                           return sub(
                               [this] { return skip(32); },
                               [this](uint16_t id) { return id != LIB3DS_CAM_RANGES || skip(8); });
                       case LIB3DS_N_DIRECT_LIGHT:
                           return light();
                       default:
                           return true;
                       }
                   });
    }

    bool mdata() {
        return sub(nothing, [this](uint16_t id) {
            switch (id) {
            case LIB3DS_MESH_VERSION:
            case LIB3DS_MASTER_SCALE:
                return skip(4);
            case LIB3DS_O_CONSTS:
                return skip(12);
            case LIB3DS_LO_SHADOW_BIAS:
            case LIB3DS_HI_SHADOW_BIAS:
            case LIB3DS_SHADOW_RANGE:
            case LIB3DS_SHADOW_FILTER:
            case LIB3DS_RAY_BIAS:
                return alone(4);
            case LIB3DS_SHADOW_MAP_SIZE:
            case LIB3DS_SHADOW_SAMPLES:
                return alone(2);
            case LIB3DS_USE_BIT_MAP:
            case LIB3DS_USE_SOLID_BGND:
            case LIB3DS_USE_V_GRADIENT:
            case LIB3DS_USE_FOG:
            case LIB3DS_USE_LAYER_FOG:
            case LIB3DS_USE_DISTANCE_CUE:
                return alone(0);
            case LIB3DS_BIT_MAP: {
                Chunk c;
                return enter(c) && name(64);
            }
            case LIB3DS_AMBIENT_LIGHT:
            case LIB3DS_SOLID_BGND:
                return sub(nothing, [this](uint16_t id) { return floatColour(id); });
            case LIB3DS_LAYER_FOG:
                return sub([this] { return skip(16); },
                           [this](uint16_t id) { return floatColour(id); });
            case LIB3DS_FOG:
                return sub([this] { return skip(16); },
                           [this](uint16_t id) { return id != LIB3DS_LIN_COLOR_F || skip(12); });
            case LIB3DS_DISTANCE_CUE:
                return sub([this] { return skip(16); }, [](uint16_t) { return true; });
            case LIB3DS_V_GRADIENT:
                return gradient();
            case LIB3DS_VIEWPORT_LAYOUT:
                return layout();
            case LIB3DS_DEFAULT_VIEW:
                return defaultView();
            case LIB3DS_MAT_ENTRY:
                return material();
            case LIB3DS_NAMED_OBJECT:
                return namedObject();
            default:
                return true;
            }
        });
    }

    // A track: flags, two unused words, a signed key count, then keys of a frame, flags,
    // one float per flag of the five lowest bits and the value.
    bool track(KeyValue value, TrackFrames* frames) {
        uint16_t flags;
        uint32_t keys;
        if (!u16(flags) || !skip(8) || !u32(keys))
            return false;
        if (frames)
            frames->flags = flags;
        for (int32_t k = 0; k < int32_t(keys); ++k) {
            uint32_t frame;
            uint16_t keyFlags;
            if (!u32(frame) || !u16(keyFlags) || !skip(4 * std::bitset<5>(keyFlags).count()))
                return false;
            static constexpr uint64_t bytes[] = {0, 4, 12, 16};
            if (value == KeyValue::name ? !name(11) : !skip(bytes[int(value)]))
                return false;
            if (frames)
                frames->add(int32_t(frame));
        }
        return true;
    }

    // The chunks lib3ds reads in a node of the given kind; any other is skipped.
    bool nodeChunk(NodeKind kind, uint16_t id, KeyframerNode& node) {
        auto frames = [&](EvaluatedTrack t) { return &node.tracks[int(t)]; };
        const bool object = kind == NodeKind::object, light = kind == NodeKind::light;
        const bool camera = kind == NodeKind::camera;
        switch (id) {
        case LIB3DS_NODE_ID:
            return u16(node.id);
        case LIB3DS_NODE_HDR:
            return name(64, &node.name) && skip(4) && u16(node.parent);
        case LIB3DS_POS_TRACK_TAG:
            return kind == NodeKind::ambient ||
                   track(KeyValue::vector, frames(EvaluatedTrack::position));
        case LIB3DS_COL_TRACK_TAG:
            return !(light || kind == NodeKind::ambient) ||
                   track(KeyValue::vector, frames(EvaluatedTrack::colour));
        case LIB3DS_ROLL_TRACK_TAG:
            return !(light || camera) || track(KeyValue::scalar, frames(EvaluatedTrack::roll));
        case LIB3DS_FOV_TRACK_TAG:
            return !camera || track(KeyValue::scalar, frames(EvaluatedTrack::fov));
        case LIB3DS_HOT_TRACK_TAG:
            return !light || track(KeyValue::scalar, frames(EvaluatedTrack::hotspot));
        case LIB3DS_FALL_TRACK_TAG:
            return !light || track(KeyValue::scalar, frames(EvaluatedTrack::falloff));
        default:
            break;
        }
        if (!object)
            return true;
        switch (id) {
        case LIB3DS_PIVOT:
            return skip(12);
        case LIB3DS_INSTANCE_NAME:
            return name(64);
        case LIB3DS_BOUNDBOX:
            return skip(24);
        case LIB3DS_MORPH_SMOOTH:
            return skip(4);
        case LIB3DS_ROT_TRACK_TAG:
            return track(KeyValue::quaternion, frames(EvaluatedTrack::rotation));
        case LIB3DS_SCL_TRACK_TAG:
            return track(KeyValue::vector, frames(EvaluatedTrack::scale));
        case LIB3DS_MORPH_TRACK_TAG:
            return track(KeyValue::name, nullptr);
        case LIB3DS_HIDE_TRACK_TAG:
            return track(KeyValue::none, nullptr);
        default:
            return true;
        }
    }

    // A node gets the next number as its id unless it has an id chunk, and parent id 0
    // unless it has a header; lib3ds links it once it is read.
    bool node(uint16_t tag, uint16_t number) {
        KeyframerNode node;
        node.id = number;
        const NodeKind kind = nodeKind(tag);
        if (!sub(nothing, [&](uint16_t id) { return nodeChunk(kind, id, node); }))
            return false;
        return keyframer.link(std::move(node)) || unsafe();
    }

    bool kfdata() {
        uint16_t number = 0;
        return sub(nothing, [&](uint16_t id) {
            switch (id) {
            case LIB3DS_KFHDR:
                return skip(2) && name(13) && skip(4);
            case LIB3DS_KFSEG:
                return skip(8);
            case LIB3DS_KFCURTIME:
                return skip(4);
            case LIB3DS_VIEWPORT_LAYOUT:
                return layout();
            case LIB3DS_DEFAULT_VIEW:
                return defaultView();
            case LIB3DS_AMBIENT_NODE_TAG:
            case LIB3DS_OBJECT_NODE_TAG:
            case LIB3DS_CAMERA_NODE_TAG:
            case LIB3DS_TARGET_NODE_TAG:
            case LIB3DS_LIGHT_NODE_TAG:
            case LIB3DS_SPOTLIGHT_NODE_TAG:
            case LIB3DS_L_TARGET_NODE_TAG:
                return node(id, number++);
            default:
                return true;
            }
        });
    }

    KeyframerCheck keyframer;
};

} // namespace

ChunkCheck checkChunks(const uint8_t* data, size_t size) {
    return Reader(data, size).file();
}

} // namespace korvid
