#include "art_common.hpp"
#include "image_files.hpp"
#include "images.hpp"

#include <algorithm>
#include <cmath>

namespace dataset {

namespace {

constexpr int columns = 6;
constexpr int cellWidth = 208, cellHeight = 186;
constexpr int thumbWidth = 192, thumbHeight = 144;

// Grey checks under transparent pictures, so that their alpha can be seen.
Rgba checker(int x, int y) {
    return ((x / 8 + y / 8) & 1) ? hex(0x3A3A44) : hex(0x2A2A32);
}

} // namespace

bool writeContactSheet(const std::string& root) {
    const std::vector<CatalogueEntry> entries = catalogue();
    const int rows = (int(entries.size()) + columns - 1) / columns;
    Canvas sheet(columns * cellWidth + 16, rows * cellHeight + 56, hex(0x14121C));
    TypeStyle heading;
    heading.size = 20.0f;
    heading.tracking = 4.0f;
    heading.fill = [](float, float) { return palette::gold; };
    paintText(sheet, "KORVID  data set", 16.0f, 34.0f, heading);

    TypeStyle label;
    label.font = fonts::sans;
    label.size = 11.0f;
    label.fill = [](float, float) { return palette::cream; };
    TypeStyle detail = label;
    detail.size = 10.0f;
    detail.fill = [](float, float) { return hex(0x9C8CC8); };

    const std::string prefix = root + "/";
    for (size_t i = 0; i < entries.size(); ++i) {
        const Canvas& picture = entries[i].picture;
        const int cellX = 16 + int(i % columns) * cellWidth;
        const int cellY = 48 + int(i / columns) * cellHeight;
        const float scale = std::min({float(thumbWidth) / float(picture.width()),
                                      float(thumbHeight) / float(picture.height()), 2.0f});
        const int w = std::max(1, int(float(picture.width()) * scale));
        const int h = std::max(1, int(float(picture.height()) * scale));
        const Canvas thumb = resized(picture, w, h);
        const int x0 = cellX + (thumbWidth - w) / 2, y0 = cellY + (thumbHeight - h) / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Rgba& d = sheet.at(x0 + x, y0 + y);
                d = checker(x, y);
                blendOver(d, thumb.at(x, y));
            }
        std::string name = entries[i].path;
        if (name.compare(0, prefix.size(), prefix) == 0)
            name = name.substr(prefix.size());
        paintText(sheet, name, float(cellX), float(cellY + thumbHeight + 15), label);
        paintText(sheet, std::to_string(picture.width()) + " x " + std::to_string(picture.height()),
                  float(cellX), float(cellY + thumbHeight + 29), detail);
    }
    return writePng(root + "/contact-sheet.png", sheet, false);
}

} // namespace dataset
