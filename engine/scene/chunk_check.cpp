#include "engine/scene/chunk_check.hpp"

#include <lib3ds/chunk.h>

#include <algorithm>
#include <map>
#include <vector>

namespace korvid {

namespace {

// Sanity bounds beyond the file's own consistency: lib3ds inserts every key and node by a
// walk from the head of a list, and recurses once per level of the node tree.
constexpr int32_t maxKeys = 32768;
constexpr size_t maxNodes = 16384;
constexpr int maxNodeDepth = 1000;
// Key frames stay exactly representable as floats, so that lib3ds's repeat arithmetic
// always lands inside the track.
constexpr int32_t maxKeyFrame = 1 << 23;
constexpr uint16_t noParent = 65535;

enum class TrackKind { boolean, lin1, lin3, quat, morph };

// A bounded view of a chunk's data, read little-endian.
struct Span {
    const uint8_t* data;
    size_t at, end;

    size_t left() const { return end - at; }
    bool skip(size_t n) {
        if (left() < n)
            return false;
        at += n;
        return true;
    }
    bool u16(uint16_t& v) {
        if (left() < 2)
            return false;
        v = uint16_t(data[at] | data[at + 1] << 8);
        at += 2;
        return true;
    }
    bool u32(uint32_t& v) {
        if (left() < 4)
            return false;
        v = uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
            uint32_t(data[at + 3]) << 24;
        at += 4;
        return true;
    }
    // A NUL-terminated string that lib3ds reads into a buffer of `buffer` bytes.
    bool string(size_t buffer) {
        for (size_t n = 0; n < buffer && at + n < end; ++n)
            if (data[at + n] == 0) {
                at += n + 1;
                return true;
            }
        return false;
    }
};

struct Chunk {
    uint16_t id;
    Span body; // the data after the 6-byte header
};

struct NodeIds {
    uint16_t id, parent;
};

class Checker {
public:
    Checker(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool file() {
        Span all{data, 0, size};
        Chunk top;
        if (!next(all, top))
            return false;
        switch (top.id) {
        case LIB3DS_MDATA:
            return mdata(top.body) && nodeTree();
        case LIB3DS_M3DMAGIC:
        case LIB3DS_MLIBMAGIC:
        case LIB3DS_CMAGIC:
            return children(top.body,
                            [this](Chunk& c) {
                                switch (c.id) {
                                case LIB3DS_M3D_VERSION:
                                    return c.body.skip(4);
                                case LIB3DS_MDATA:
                                    return mdata(c.body);
                                case LIB3DS_KFDATA:
                                    return kfdata(c.body);
                                default:
                                    return true;
                                }
                            }) &&
                   nodeTree();
        default:
            return false;
        }
    }

private:
    // The next subchunk: a header of 6 bytes, a length of at least 6, inside the parent.
    bool next(Span& parent, Chunk& chunk) {
        uint16_t id;
        uint32_t length;
        const size_t start = parent.at;
        if (!parent.u16(id) || !parent.u32(length))
            return false;
        if (length < 6 || length > parent.end - start)
            return false;
        chunk = {id, Span{data, start + 6, start + length}};
        parent.at = start + length;
        return true;
    }

    // Subchunks tile the rest of the parent exactly; `each` checks one of them.
    template <class Each>
    bool children(Span parent, Each each) {
        Chunk chunk;
        while (parent.left())
            if (!next(parent, chunk) || !each(chunk))
                return false;
        return true;
    }

    static bool colour(Chunk& c) {
        switch (c.id) {
        case LIB3DS_COLOR_24:
        case LIB3DS_LIN_COLOR_24:
            return c.body.skip(3);
        case LIB3DS_COLOR_F:
        case LIB3DS_LIN_COLOR_F:
            return c.body.skip(12);
        default:
            return true;
        }
    }

    bool colours(Span body) { return children(body, colour); }

    bool percentage(Span body) {
        return children(body,
                        [](Chunk& c) { return c.id != LIB3DS_INT_PERCENTAGE || c.body.skip(2); });
    }

    bool textureMap(Span body) {
        return children(body, [](Chunk& c) {
            switch (c.id) {
            case LIB3DS_INT_PERCENTAGE:
            case LIB3DS_MAT_MAP_TILING:
                return c.body.skip(2);
            case LIB3DS_MAT_MAPNAME:
                return c.body.string(64);
            case LIB3DS_MAT_MAP_TEXBLUR:
            case LIB3DS_MAT_MAP_USCALE:
            case LIB3DS_MAT_MAP_VSCALE:
            case LIB3DS_MAT_MAP_UOFFSET:
            case LIB3DS_MAT_MAP_VOFFSET:
            case LIB3DS_MAT_MAP_ANG:
                return c.body.skip(4);
            case LIB3DS_MAT_MAP_COL1:
            case LIB3DS_MAT_MAP_COL2:
            case LIB3DS_MAT_MAP_RCOL:
            case LIB3DS_MAT_MAP_GCOL:
            case LIB3DS_MAT_MAP_BCOL:
                return c.body.skip(3);
            default:
                return true;
            }
        });
    }

    bool material(Span body) {
        return children(body, [this](Chunk& c) {
            switch (c.id) {
            case LIB3DS_MAT_NAME:
                return c.body.string(64);
            case LIB3DS_MAT_AMBIENT:
            case LIB3DS_MAT_DIFFUSE:
            case LIB3DS_MAT_SPECULAR:
                return colours(c.body);
            case LIB3DS_MAT_SHININESS:
            case LIB3DS_MAT_SHIN2PCT:
            case LIB3DS_MAT_TRANSPARENCY:
            case LIB3DS_MAT_XPFALL:
            case LIB3DS_MAT_SELF_ILPCT:
            case LIB3DS_MAT_REFBLUR:
                return percentage(c.body);
            case LIB3DS_MAT_SHADING:
                return c.body.skip(2);
            case LIB3DS_MAT_WIRE_SIZE:
                return c.body.skip(4);
            case LIB3DS_MAT_ACUBIC:
                return c.body.skip(12);
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
                return textureMap(c.body);
            default:
                return true;
            }
        });
    }

    bool viewport(Chunk& c) {
        if (c.id == LIB3DS_VIEWPORT_LAYOUT)
            return c.body.skip(14) && children(c.body, [](Chunk& v) {
                       switch (v.id) {
                       case LIB3DS_VIEWPORT_SIZE:
                           return v.body.skip(8);
                       case LIB3DS_VIEWPORT_DATA_3:
                           return v.body.skip(49);
                       default:
                           return true;
                       }
                   });
        return children(c.body, [](Chunk& v) {
            switch (v.id) {
            case LIB3DS_VIEW_TOP:
            case LIB3DS_VIEW_BOTTOM:
            case LIB3DS_VIEW_LEFT:
            case LIB3DS_VIEW_RIGHT:
            case LIB3DS_VIEW_FRONT:
            case LIB3DS_VIEW_BACK:
                return v.body.skip(16);
            case LIB3DS_VIEW_USER:
                return v.body.skip(28);
            case LIB3DS_VIEW_CAMERA:
                return v.body.skip(11);
            default:
                return true;
            }
        });
    }

    // lib3ds keeps at most three gradient colours of each kind in a fixed array.
    bool gradient(Span body) {
        int plain = 0, linear = 0;
        return body.skip(4) && children(body, [&](Chunk& c) {
                   if (c.id == LIB3DS_COLOR_F && ++plain > 3)
                       return false;
                   if (c.id == LIB3DS_LIN_COLOR_F && ++linear > 3)
                       return false;
                   return colour(c);
               });
    }

    bool spotlight(Span body) {
        return body.skip(20) && children(body, [](Chunk& c) {
                   switch (c.id) {
                   case LIB3DS_DL_SPOT_ROLL:
                   case LIB3DS_DL_SPOT_ASPECT:
                   case LIB3DS_DL_RAY_BIAS:
                       return c.body.skip(4);
                   case LIB3DS_DL_LOCAL_SHADOW2:
                       return c.body.skip(10);
                   case LIB3DS_DL_SPOT_PROJECTOR:
                       return c.body.string(64);
                   default:
                       return true;
                   }
               });
    }

    bool light(Span body) {
        return body.skip(12) && children(body, [this](Chunk& c) {
                   switch (c.id) {
                   case LIB3DS_COLOR_F:
                       return c.body.skip(12);
                   case LIB3DS_DL_OUTER_RANGE:
                   case LIB3DS_DL_INNER_RANGE:
                   case LIB3DS_DL_MULTIPLIER:
                   case LIB3DS_DL_ATTENUATE:
                       return c.body.skip(4);
                   case LIB3DS_DL_SPOTLIGHT:
                       return spotlight(c.body);
                   default:
                       return true;
                   }
               });
    }

    bool camera(Span body) {
        return body.skip(32) &&
               children(body, [](Chunk& c) { return c.id != LIB3DS_CAM_RANGES || c.body.skip(8); });
    }

    // Faces: a count, then four words each, then subchunks that lib3ds reads only when
    // there are faces. Material-group indices must name a face of this array.
    bool faceArray(Span body, uint32_t& maxPoint, bool& hasFaces) {
        uint16_t faces;
        if (!body.u16(faces))
            return false;
        const size_t listStart = body.at;
        if (!body.skip(size_t(faces) * 8))
            return false;
        Span list{data, listStart, body.at};
        for (uint32_t f = 0; f < faces; ++f) {
            uint16_t point[4];
            for (uint16_t& word : point)
                list.u16(word);
            for (int k = 0; k < 3; ++k)
                maxPoint = std::max(maxPoint, point[k] + 1u);
        }
        hasFaces = hasFaces || faces > 0;
        if (!faces)
            return true;
        return children(body, [faces](Chunk& c) {
            switch (c.id) {
            case LIB3DS_SMOOTH_GROUP:
                return c.body.skip(size_t(faces) * 4);
            case LIB3DS_MSH_MAT_GROUP: {
                uint16_t count, index;
                if (!c.body.string(64) || !c.body.u16(count))
                    return false;
                for (uint32_t i = 0; i < count; ++i)
                    if (!c.body.u16(index) || index >= faces)
                        return false;
                return true;
            }
            case LIB3DS_MSH_BOXMAP:
                for (int side = 0; side < 6; ++side)
                    if (!c.body.string(64))
                        return false;
                return true;
            default:
                return true;
            }
        });
    }

    // lib3ds replaces the point list at every point array; every face index must lie below
    // the count the object ends with.
    bool triangles(Span body) {
        uint32_t points = 0, maxPoint = 0;
        bool hasFaces = false;
        auto array = [](Span& s, size_t item, uint32_t* count) {
            uint16_t n;
            if (!s.u16(n))
                return false;
            if (count)
                *count = n;
            return s.skip(size_t(n) * item);
        };
        const bool ok = children(body, [&](Chunk& c) {
            switch (c.id) {
            case LIB3DS_POINT_ARRAY:
                return array(c.body, 12, &points);
            case LIB3DS_POINT_FLAG_ARRAY:
                return array(c.body, 2, nullptr);
            case LIB3DS_TEX_VERTS:
                return array(c.body, 8, nullptr);
            case LIB3DS_FACE_ARRAY:
                return faceArray(c.body, maxPoint, hasFaces);
            case LIB3DS_MESH_MATRIX:
                return c.body.skip(48);
            case LIB3DS_MESH_COLOR:
                return c.body.skip(1);
            case LIB3DS_MESH_TEXTURE_INFO:
                return c.body.skip(84);
            default:
                return true;
            }
        });
        return ok && (!hasFaces || maxPoint <= points);
    }

    bool namedObject(Span body) {
        return body.string(64) && children(body, [this](Chunk& c) {
                   switch (c.id) {
                   case LIB3DS_N_TRI_OBJECT:
                       return triangles(c.body);
                   case LIB3DS_N_CAMERA:
                       return camera(c.body);
                   case LIB3DS_N_DIRECT_LIGHT:
                       return light(c.body);
                   default:
                       return true;
                   }
               });
    }

    bool mdata(Span body) {
        return children(body, [this](Chunk& c) {
            switch (c.id) {
            case LIB3DS_MESH_VERSION:
            case LIB3DS_MASTER_SCALE:
            case LIB3DS_LO_SHADOW_BIAS:
            case LIB3DS_HI_SHADOW_BIAS:
            case LIB3DS_SHADOW_RANGE:
            case LIB3DS_SHADOW_FILTER:
            case LIB3DS_RAY_BIAS:
                return c.body.skip(4);
            case LIB3DS_SHADOW_MAP_SIZE:
            case LIB3DS_SHADOW_SAMPLES:
                return c.body.skip(2);
            case LIB3DS_O_CONSTS:
                return c.body.skip(12);
            case LIB3DS_VIEWPORT_LAYOUT:
            case LIB3DS_DEFAULT_VIEW:
                return viewport(c);
            case LIB3DS_AMBIENT_LIGHT:
            case LIB3DS_SOLID_BGND:
                return colours(c.body);
            case LIB3DS_BIT_MAP:
                return c.body.string(64);
            case LIB3DS_V_GRADIENT:
                return gradient(c.body);
            case LIB3DS_FOG:
            case LIB3DS_LAYER_FOG:
                return c.body.skip(16) && colours(c.body);
            case LIB3DS_DISTANCE_CUE:
                return c.body.skip(16) && children(c.body, [](Chunk&) { return true; });
            case LIB3DS_MAT_ENTRY:
                return material(c.body);
            case LIB3DS_NAMED_OBJECT:
                return namedObject(c.body);
            default:
                return true;
            }
        });
    }

    // A track: flags, two unused words, a key count, then keys of a frame, flags, one float
    // per flag of the five lowest bits and the value.
    bool track(Span body, TrackKind kind) {
        uint16_t flags;
        uint32_t keys;
        if (!body.u16(flags) || !body.skip(8) || !body.u32(keys))
            return false;
        if (int32_t(keys) > maxKeys)
            return false;
        for (int32_t k = 0; k < int32_t(keys); ++k) {
            uint32_t frame;
            uint16_t keyFlags;
            if (!body.u32(frame) || !body.u16(keyFlags))
                return false;
            if (int32_t(frame) > maxKeyFrame || int32_t(frame) < -maxKeyFrame)
                return false;
            int floats = 0;
            for (int bit = 0; bit < 5; ++bit)
                floats += keyFlags >> bit & 1;
            if (!body.skip(size_t(floats) * 4))
                return false;
            switch (kind) {
            case TrackKind::boolean:
                break;
            case TrackKind::lin1:
                if (!body.skip(4))
                    return false;
                break;
            case TrackKind::lin3:
                if (!body.skip(12))
                    return false;
                break;
            case TrackKind::quat:
                if (!body.skip(16))
                    return false;
                break;
            case TrackKind::morph:
                if (!body.string(11))
                    return false;
                break;
            }
        }
        return true;
    }

    // Node ids count up per node chunk unless a NODE_ID chunk sets one; the parent id comes
    // from the header, and is 0 (not "no parent") in a node without one.
    bool node(Span body, uint16_t& number) {
        NodeIds ids{number++, 0};
        const bool ok = children(body, [&](Chunk& c) {
            switch (c.id) {
            case LIB3DS_NODE_ID:
                return c.body.u16(ids.id);
            case LIB3DS_NODE_HDR:
                return c.body.string(64) && c.body.skip(4) && c.body.u16(ids.parent);
            case LIB3DS_PIVOT:
                return c.body.skip(12);
            case LIB3DS_INSTANCE_NAME:
                return c.body.string(64);
            case LIB3DS_BOUNDBOX:
                return c.body.skip(24);
            case LIB3DS_MORPH_SMOOTH:
                return c.body.skip(4);
            case LIB3DS_POS_TRACK_TAG:
            case LIB3DS_COL_TRACK_TAG:
            case LIB3DS_SCL_TRACK_TAG:
                return track(c.body, TrackKind::lin3);
            case LIB3DS_ROT_TRACK_TAG:
                return track(c.body, TrackKind::quat);
            case LIB3DS_FOV_TRACK_TAG:
            case LIB3DS_ROLL_TRACK_TAG:
            case LIB3DS_HOT_TRACK_TAG:
            case LIB3DS_FALL_TRACK_TAG:
                return track(c.body, TrackKind::lin1);
            case LIB3DS_HIDE_TRACK_TAG:
                return track(c.body, TrackKind::boolean);
            case LIB3DS_MORPH_TRACK_TAG:
                return track(c.body, TrackKind::morph);
            default:
                return true;
            }
        });
        nodes.push_back(ids);
        return ok && nodes.size() <= maxNodes;
    }

    bool kfdata(Span body) {
        uint16_t number = 0;
        return children(body, [&](Chunk& c) {
            switch (c.id) {
            case LIB3DS_KFHDR:
                return c.body.skip(2) && c.body.string(13) && c.body.skip(4);
            case LIB3DS_KFSEG:
                return c.body.skip(8);
            case LIB3DS_KFCURTIME:
                return c.body.skip(4);
            case LIB3DS_VIEWPORT_LAYOUT:
            case LIB3DS_DEFAULT_VIEW:
                return viewport(c);
            case LIB3DS_AMBIENT_NODE_TAG:
            case LIB3DS_OBJECT_NODE_TAG:
            case LIB3DS_CAMERA_NODE_TAG:
            case LIB3DS_TARGET_NODE_TAG:
            case LIB3DS_LIGHT_NODE_TAG:
            case LIB3DS_SPOTLIGHT_NODE_TAG:
            case LIB3DS_L_TARGET_NODE_TAG:
                return node(c.body, number);
            default:
                return true;
            }
        });
    }

    // lib3ds hangs a node below the node found by its parent id. With ids repeated any node
    // of that id may be chosen, so the check follows every one: ids form a graph from an id
    // to the parent ids of the nodes carrying it, which must have no cycle and no path
    // longer than the depth bound.
    bool nodeTree() const {
        std::map<uint16_t, std::vector<uint16_t>> parentsOf;
        for (const NodeIds& n : nodes)
            parentsOf[n.id];
        for (const NodeIds& n : nodes)
            if (n.parent != noParent && parentsOf.count(n.parent))
                parentsOf[n.id].push_back(n.parent);
        enum State : uint8_t { unseen, open, finished };
        std::map<uint16_t, State> state;
        std::map<uint16_t, int> depth;
        for (auto& [root, unused] : parentsOf) {
            if (state[root] == finished)
                continue;
            // Depth first without recursion: (id, next parent to visit).
            std::vector<std::pair<uint16_t, size_t>> stack{{root, 0}};
            state[root] = open;
            while (!stack.empty()) {
                auto& [id, nextParent] = stack.back();
                const std::vector<uint16_t>& parents = parentsOf[id];
                if (nextParent < parents.size()) {
                    const uint16_t p = parents[nextParent++];
                    if (state[p] == open)
                        return false;
                    if (state[p] == unseen) {
                        state[p] = open;
                        stack.push_back({p, 0});
                    }
                    continue;
                }
                int d = 1;
                for (uint16_t p : parents)
                    d = std::max(d, depth[p] + 1);
                if (d > maxNodeDepth)
                    return false;
                depth[id] = d;
                state[id] = finished;
                stack.pop_back();
            }
        }
        return true;
    }

    const uint8_t* data;
    size_t size;
    std::vector<NodeIds> nodes;
};

} // namespace

bool checkChunks(const uint8_t* data, size_t size) {
    return Checker(data, size).file();
}

} // namespace korvid
