#include "engine/scene/keyframer_check.hpp"

#include <algorithm>
#include <cmath>

namespace korvid {

namespace {

// lib3ds recurses once per level of its node tree when it looks a parent up, evaluates and
// frees the tree, and once per adopted node while it links; each level takes about 150
// bytes of stack, so 65535 levels overflow the usual 8 MB stack. Half of that is allowed.
constexpr size_t maxNodeDepth = 32768;
constexpr uint16_t noId = 65535;
constexpr uint16_t repeatFlag = 1;

} // namespace

void TrackFrames::add(int32_t frame) {
    first = count ? std::min(first, frame) : frame;
    last = count ? std::max(last, frame) : frame;
    ++count;
}

// lib3ds looks for the first key whose successor lies after the frame; past the last key a
// repeating track wraps the frame back by the key span and looks again, and a second miss
// reads the successor of the last key, which is null. Keys are sorted by their integer
// frames; the search compares them as floats, and the wrap mixes float and integer
// arithmetic (the span is an int that wraps, the remainder a double, the sum a float),
// which is what lets a miss happen for keys at 0 and -16777217.
bool TrackFrames::evaluatesAtFrameZero() const {
    if (!(flags & repeatFlag) || count < 2 || 0.0f < float(last))
        return true;
    const float offset = 0.0f - float(first);
    const double span = double(int32_t(uint32_t(last) - uint32_t(first)));
    const float wrapped = float(std::fmod(double(offset), span)) + float(first);
    return wrapped < float(last);
}

uint32_t& KeyframerCheck::headOf(uint32_t parent) {
    return parent == none ? top : nodes[parent].firstChild;
}

// The first node of the tree with that id, parents before children, siblings in order.
uint32_t KeyframerCheck::byId(uint16_t id) const {
    uint32_t n = top;
    while (n != none) {
        if (nodes[n].node.id == id)
            return n;
        if (nodes[n].firstChild != none) {
            n = nodes[n].firstChild;
            continue;
        }
        while (n != none && nodes[n].next == none)
            n = nodes[n].parent;
        if (n != none)
            n = nodes[n].next;
    }
    return none;
}

uint32_t KeyframerCheck::depth(uint32_t n) const {
    uint32_t levels = 0;
    for (; n != none; n = nodes[n].parent)
        ++levels;
    return levels;
}

// Levels below `n`, walking its subtree without recursion.
uint32_t KeyframerCheck::height(uint32_t n) const {
    uint32_t at = nodes[n].firstChild;
    if (at == none)
        return 0;
    uint32_t level = 1, most = 1;
    for (;;) {
        if (nodes[at].firstChild != none) {
            at = nodes[at].firstChild;
            most = std::max(most, ++level);
            continue;
        }
        while (nodes[at].next == none) {
            at = nodes[at].parent;
            if (at == n)
                return most;
            --level;
        }
        at = nodes[at].next;
    }
}

// Below the node that the parent id finds (at the top when none), before the first
// sibling whose name sorts after this one.
void KeyframerCheck::place(uint32_t n) {
    Linked& linked = nodes[n];
    linked.parent = linked.node.parent != noId ? byId(linked.node.parent) : none;
    uint32_t& head = headOf(linked.parent);
    uint32_t before = none, at = head;
    while (at != none && !(nodes[at].node.name.compare(linked.node.name) > 0)) {
        before = at;
        at = nodes[at].next;
    }
    linked.next = at;
    (before == none ? head : nodes[before].next) = n;
    deepest = std::max(deepest, depth(n) + height(n));
}

void KeyframerCheck::remove(uint32_t n) {
    uint32_t& head = headOf(nodes[n].parent);
    if (head == n) {
        head = nodes[n].next;
        return;
    }
    for (uint32_t at = head; at != none; at = nodes[at].next)
        if (nodes[at].next == n) {
            nodes[at].next = nodes[n].next;
            return;
        }
}

// After placing a node lib3ds walks the top-level list from its head and moves every node
// whose parent id is the new node's id, placing it again, which walks again: the walk is
// a recursion, kept here as a stack of (node, next node of its walk). A walk follows the
// next links of whatever list a moved node ended up in, as lib3ds's does.
bool KeyframerCheck::link(KeyframerNode node) {
    struct Walk {
        uint32_t node, next;
    };
    std::vector<Walk> walks;
    auto enter = [&](uint32_t n) {
        place(n);
        walks.push_back({n, nodes[n].node.id != noId ? top : none});
        return walks.size() <= maxNodeDepth;
    };
    nodes.push_back({std::move(node)});
    if (!enter(uint32_t(nodes.size() - 1)))
        return false;
    while (!walks.empty()) {
        const uint32_t at = walks.back().next;
        if (at == none) {
            walks.pop_back();
            continue;
        }
        walks.back().next = nodes[at].next;
        if (nodes[at].node.parent == nodes[walks.back().node].node.id) {
            remove(at);
            if (!enter(at))
                return false;
        }
    }
    return true;
}

bool KeyframerCheck::evaluates() const {
    if (deepest > maxNodeDepth)
        return false;
    for (const Linked& linked : nodes)
        for (const TrackFrames& track : linked.node.tracks)
            if (!track.evaluatesAtFrameZero())
                return false;
    return true;
}

} // namespace korvid
