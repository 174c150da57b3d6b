#pragma once
// A stand-in renderer for looking at the scenes before the engine can draw them. It reads
// the files with lib3ds and draws them the way the show will: axes exchanged on import, a
// look-along camera, no near clipping, vertex lighting without an ambient term, and the
// materials of the show's table as colour ramps. Outlines and modifiers are left out.

#include "../canvas.hpp"
#include "../geometry.hpp"

#include <map>
#include <string>

struct Lib3dsFile;

namespace dataset {

struct Shot {
    std::string scene;  // file name below "3ds/"
    std::string camera; // camera node name
    float frame = 0.0f;
    // Changes the show makes by hand, in the engine's axes (x and y exchanged).
    float fovChange = 0.0f; // radians added
    Vec3 positionChange{};  // added to the camera position
    float roll = 0.0f;      // radians; replaces the file's roll when non-zero
    Vec3 centreOffset{};    // projection centre shift, fractions of width and height
    std::map<std::string, Vec3> nodePositions;    // node name -> engine position
    std::map<std::string, std::string> materials; // material name -> replacement
    bool groundFirst = false;                     // draw "Bakke" first, then the rest over it
    bool spotRanges = false;                      // the show's range attenuation on spotlights
    float groundScroll = 0.0f;                    // texture offset v of the ground
    Rgba clear = hex(0x000000);
    std::string label;
};

Canvas renderShot(const Shot& shot, Lib3dsFile* file, int width, int height);

} // namespace dataset
