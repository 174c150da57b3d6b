#pragma once
// Error codes of the engine. Operations return them by value and print nothing; the
// program decides what to do with a failure.

#include <cstdint>

namespace korvid {

using Error = int32_t;

// The numbering is fixed: codes index errorMessages.
enum : Error {
    errNone = 0,
    errInvalidCall = 1,
    errMemory = 2,
    errAbsurd = 3,
    errImageLoad = 4,
    errLockedTwice = 5,
    errFileNotFound = 6,
    errFileFormat = 7,
    errFileIO = 8,
    errResourceNotFound = 9,
    errTextureSize = 10,
    errDiffuseTable = 11,
    errIllegalSurfaceUsage = 12,
    errInvalidMaterial = 13,
    errMaterialNotFound = 14,
    errSceneNotFound = 15,
    errSurfaceNotFound = 16,
    errFontNotFound = 17,
    errMeshNotFound = 18,
    errNodeNotFound = 19,
    errCameraNotFound = 20,
    errMeshNodeNotFound = 21,
    errTargetNotFound = 22,
    errNameInUse = 23,
    errTinyPtc = 24,
    errSdl = 25,
    errDisplayMode = 26,
    errNotImplemented = 27,
    errUnknown = 28,
    KRV_ERR_NODEALREADYATTACHED = 29,
    KRV_ERR_NODENOTATTACHED = 30,
    KRV_ERR_UNRESOLVED_NODEDEPS = 31,
    KRV_ERR_UNRESOLVED_RESOURCEDEPS = 32,
    errZBufferSmall = 33,
    KRV_ERR_SKYBOX_IN_SKYBOX = 34,
};

constexpr int errorCount = 35;
extern const char* const errorMessages[errorCount];

} // namespace korvid
