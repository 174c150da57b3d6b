#include "engine/core/engine.hpp"

#include <vector>

namespace korvid {

Error Engine::addResource(Resource* object, const std::string& name) {
    if (!object)
        return errResourceNotFound;
    if (object->owner)
        return errInvalidCall;
    Resource*& slot = entry(object->kind, name);
    if (slot)
        return errNameInUse;
    slot = object;
    object->owner = this;
    object->name = name;
    return errNone;
}

void Engine::linkReference(ResourceRef& ref) {
    ref.resolved = ref.empty ? nullptr : findResource(ref.kind, ref.name);
}

Resource* Engine::findResource(ResourceKind kind, const std::string& name) {
    return entry(kind, name);
}

void Engine::removeResource(ResourceKind kind, const std::string& name) {
    Resource*& slot = entry(kind, name);
    delete slot;
    slot = nullptr;
}

void Engine::releaseAll() {
    std::vector<Resource*> doomed;
    for (auto& [kind, names] : registry)
        for (auto& [name, object] : names)
            if (object) {
                doomed.push_back(object);
                object = nullptr;
            }
    for (Resource* object : doomed)
        delete object;
    registry.clear();
}

} // namespace korvid
