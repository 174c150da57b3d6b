#pragma once
// The base of every object the Engine context registers, and references by kind and name.

#include <cstdint>
#include <map>
#include <string>

namespace korvid {

using ResourceKind = uint32_t;
enum : ResourceKind {
    kindScene = 1,
    kindMesh = 2,
    kindMaterial = 3,
    kindSurface = 4,
};

class Engine;
class Resource;

// A reference to another resource by kind and name; the link step fills in `resolved`.
struct ResourceRef {
    ResourceKind kind = 0;
    std::string name;
    Resource* resolved = nullptr;
    bool empty = true;

    ResourceRef() = default;
    ResourceRef(ResourceKind kind, std::string name)
        : kind(kind), name(std::move(name)), empty(false) {}
};

// The references an object hands to the link step; only entries flagged true are linked.
using ResourceRefSet = std::map<ResourceRef*, bool>;

class Resource {
public:
    explicit Resource(ResourceKind kind) : kind(kind) {}
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;
    virtual ~Resource() = default;

    // A plain object depends on nothing: the set is emptied and nothing added.
    virtual void collectResourceRefs(ResourceRefSet& refs) { refs.clear(); }

    Engine* owner = nullptr; // set by registration, never cleared by it
    const ResourceKind kind;
    std::string name;
};

} // namespace korvid
