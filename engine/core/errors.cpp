#include "engine/core/errors.hpp"

namespace korvid {

const char* const errorMessages[errorCount] = {
    "none",
    "invalid function call",
    "memory allocation error",
    "absurd error",
    "error loading image file",
    "surface locked twice",
    "file not found",
    "file format error",
    "file input/output error",
    "resource not found",
    "invalid texture size. must be power of 2",
    "invalid diffuse table or not found",
    "illegal surface usage",
    "invalid material",
    "material not found",
    "scene not found",
    "surface not found",
    "font not found",
    "mesh not found",
    "node not found in scene",
    "cameranode not found in scene",
    "meshnode not found in scene",
    "camera/spotlight target node not found in scene",
    "name in use",
    "tinyptc is stupid",
    "sdl fucked joo - check SDL_GetError()",
    "display mode not working",
    "function not implemented",
    "unknown (aw crap)",
    "KRV_ERR_NODEALREADYATTACHED",
    "KRV_ERR_NODENOTATTACHED",
    "KRV_ERR_UNRESOLVED_NODEDEPS",
    "KRV_ERR_UNRESOLVED_RESOURCEDEPS",
    "z-buffer is smaller than c-buffer",
    "KRV_ERR_SKYBOX_IN_SKYBOX",
};

} // namespace korvid
