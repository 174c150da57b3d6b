#pragma once
// The Engine context: the one registry of every engine object, by kind and name.
// It owns what is registered in it and destroys it on removal or release.

#include "engine/core/errors.hpp"
#include "engine/core/resource.hpp"

#include <map>
#include <string>

namespace korvid {

class Engine {
public:
    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine() { releaseAll(); }

    // 9 for a null object, 1 when it is registered already, 23 when the name is taken.
    Error addResource(Resource* object, const std::string& name);
    // Null when nothing is registered under (kind, name).
    Resource* findResource(ResourceKind kind, const std::string& name);
    template <class T>
    T* find(ResourceKind kind, const std::string& name) {
        return static_cast<T*>(findResource(kind, name));
    }
    // Destroys the object registered under (kind, name), if any.
    void removeResource(ResourceKind kind, const std::string& name);
    // Destroys every object: scenes, then meshes, materials and surfaces, each kind in
    // ascending name order. All pointers leave the maps before the first destruction.
    void releaseAll();

    // One reference: null when `empty` is set, else whatever is registered under its name.
    // The link step (engine/link) runs this for every reference of every object.
    void linkReference(ResourceRef& ref);

    using NameMap = std::map<std::string, Resource*>;
    const std::map<ResourceKind, NameMap>& entries() const { return registry; }

private:
    Resource*& entry(ResourceKind kind, const std::string& name) { return registry[kind][name]; }

    std::map<ResourceKind, NameMap> registry;
};

} // namespace korvid
