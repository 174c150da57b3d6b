#pragma once
// What lib3ds 1.3 does with the keyframer nodes of a file once it has read them, replayed
// on the ids, names and key frames alone: it links every node into its tree as it is read,
// recursing when a node adopts earlier nodes, and evaluates every track at frame 0, where a
// repeating track can miss all its key intervals and follow a null key. The chunk check
// feeds this replay node by node.

#include <cstdint>
#include <string>
#include <vector>

namespace korvid {

// The tracks of a node that lib3ds evaluates with a key search (position, rotation, scale,
// field of view, roll, colour, hotspot, falloff); hide and morph tracks never fail.
enum class EvaluatedTrack : uint8_t {
    position,
    rotation,
    scale,
    fov,
    roll,
    colour,
    hotspot,
    falloff
};
constexpr int evaluatedTracks = 8;

// The keys of one track as lib3ds holds them: reading a track again adds its keys and
// replaces its flags.
struct TrackFrames {
    uint32_t count = 0;
    int32_t first = 0, last = 0;
    uint16_t flags = 0;

    void add(int32_t frame);
    // lib3ds's evaluation at frame 0 finds a key interval (always true without the repeat
    // flag or with fewer than two keys).
    bool evaluatesAtFrameZero() const;
};

struct KeyframerNode {
    uint16_t id = 0;
    uint16_t parent = 0;
    std::string name;
    TrackFrames tracks[evaluatedTracks];
};

class KeyframerCheck {
public:
    // lib3ds links the node it has just read; false when linking recurses deeper than the
    // stack allows (without end, for a node that is its own parent and finds no other).
    bool link(KeyframerNode node);
    // Evaluation at frame 0 and freeing the tree are safe: no node deeper than the stack
    // allows, no track that follows a null key.
    bool evaluates() const;

private:
    static constexpr uint32_t none = UINT32_MAX;
    struct Linked {
        KeyframerNode node;
        uint32_t parent = none, next = none, firstChild = none;
    };

    uint32_t byId(uint16_t id) const;
    uint32_t& headOf(uint32_t parent);
    void place(uint32_t n);
    void remove(uint32_t n);
    uint32_t depth(uint32_t n) const;
    uint32_t height(uint32_t n) const;

    std::vector<Linked> nodes;
    uint32_t top = none;
    uint32_t deepest = 0;
};

} // namespace korvid
