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
    // Long strips get a row of their own under the grid, across the whole sheet.
    std::vector<CatalogueEntry> entries, strips;
    for (CatalogueEntry& e : catalogue())
        (e.picture.width() > 6 * e.picture.height() ? strips : entries).push_back(std::move(e));
    const int rows = (int(entries.size()) + columns - 1) / columns;
    const int sheetWidth = columns * cellWidth + 16;
    const int stripWidth = sheetWidth - 32;
    int stripsHeight = 0;
    for (const CatalogueEntry& e : strips)
        stripsHeight += e.picture.height() * stripWidth / e.picture.width() + 40;
    Canvas sheet(sheetWidth, rows * cellHeight + 56 + stripsHeight, hex(0x14121C));
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
    int y = 48 + rows * cellHeight;
    for (const CatalogueEntry& e : strips) {
        const int h = e.picture.height() * stripWidth / e.picture.width();
        const Canvas thumb = resized(e.picture, stripWidth, h);
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < stripWidth; ++px) {
                Rgba& d = sheet.at(16 + px, y + py);
                d = checker(px, py);
                blendOver(d, thumb.at(px, py));
            }
        const std::string name =
            e.path.compare(0, prefix.size(), prefix) == 0 ? e.path.substr(prefix.size()) : e.path;
        paintText(sheet,
                  name + "   " + std::to_string(e.picture.width()) + " x " +
                      std::to_string(e.picture.height()),
                  16.0f, float(y + h + 16), label);
        y += h + 40;
    }
    return writePng(root + "/contact-sheet.png", sheet, false);
}

} // namespace dataset
