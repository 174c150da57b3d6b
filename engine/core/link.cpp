#include "engine/core/engine.hpp"

namespace korvid {

void Engine::linkReference(ResourceRef& ref) {
    ref.resolved = ref.empty ? nullptr : findResource(ref.kind, ref.name);
}

void Engine::linkResources() {
    ResourceRefSet refs;
    for (auto& [kind, names] : registry)
        for (auto& [name, object] : names) {
            if (!object)
                continue;
            object->collectResourceRefs(refs);
            for (auto& [ref, linked] : refs)
                if (linked)
                    linkReference(*ref);
        }
}

} // namespace korvid
