#include "tools/capture/storyboard.hpp"

#include "demo/show_parts.hpp"
#include "tools/capture/bitmap_font.hpp"
#include "tools/common/png_writer.hpp"

#include <algorithm>

namespace {

constexpr int columns = 8;
constexpr int shrink = 4;           // thumbnails are a quarter of each side
constexpr int margin = 12, gap = 8; // around the sheet, between thumbnails
constexpr int titleHeight = 2 * glyphHeight + 14;
constexpr int labelHeight = 2 * glyphHeight + 8; // two lines under each thumbnail

constexpr uint32_t background = 0xFF18161E;
constexpr uint32_t nameColour = 0xFFECE8F4;
constexpr uint32_t timeColour = 0xFF9C96B0;

} // namespace

Storyboard::Storyboard(int frameWidth, int frameHeight)
    : thumbWidth(frameWidth / shrink), thumbHeight(frameHeight / shrink) {
    // Every multiple of the step while the show's parts run: the timeline's own table
    // says where the last part ends.
    for (int k = 0; show_part_at(float(k) * step) < closingImagePart; ++k)
        times.push_back(float(k) * step);
    const int rows = int((times.size() + columns - 1) / columns);
    width = 2 * margin + columns * thumbWidth + (columns - 1) * gap;
    height = titleHeight + rows * (thumbHeight + labelHeight + gap) + margin - gap;
    sheet.assign(size_t(width) * size_t(height), background);
    drawText(sheet.data(), width, height, width, margin, margin,
             "the show, one picture every 32 demo units", nameColour, 2);
}

void Storyboard::offer(float t, const uint32_t* pixels, int pitch) {
    while (taken < times.size() && t >= times[taken]) {
        const int x0 = margin + int(taken % columns) * (thumbWidth + gap);
        const int y0 = titleHeight + int(taken / columns) * (thumbHeight + labelHeight + gap);
        // Each thumbnail pixel is the mean of its shrink x shrink block, per channel,
        // rounded to nearest.
        for (int y = 0; y < thumbHeight; ++y)
            for (int x = 0; x < thumbWidth; ++x) {
                uint32_t sum[3] = {0, 0, 0};
                for (int dy = 0; dy < shrink; ++dy)
                    for (int dx = 0; dx < shrink; ++dx) {
                        const uint32_t p = pixels[size_t(y * shrink + dy) * size_t(pitch) +
                                                  size_t(x * shrink + dx)];
                        sum[0] += (p >> 16) & 255;
                        sum[1] += (p >> 8) & 255;
                        sum[2] += p & 255;
                    }
                constexpr uint32_t n = shrink * shrink;
                sheet[size_t(y0 + y) * size_t(width) + size_t(x0 + x)] =
                    0xFF000000 | (sum[0] + n / 2) / n << 16 | (sum[1] + n / 2) / n << 8 |
                    (sum[2] + n / 2) / n;
            }
        label(taken, t);
        ++taken;
    }
}

void Storyboard::label(size_t index, float t) {
    const int x = margin + int(index % columns) * (thumbWidth + gap);
    const int y =
        titleHeight + int(index / columns) * (thumbHeight + labelHeight + gap) + thumbHeight + 4;
    const int part = show_part_at(t);
    drawText(sheet.data(), width, height, width, x, y,
             std::to_string(part) + " " + show_part_name(part), nameColour);
    drawText(sheet.data(), width, height, width, x, y + glyphHeight + 2,
             "demo time " + std::to_string(int(times[index])), timeColour);
}

bool Storyboard::write(const std::string& path) const {
    const int rows = int((std::max<size_t>(taken, 1) + columns - 1) / columns);
    const int used =
        std::min(height, titleHeight + rows * (thumbHeight + labelHeight + gap) + margin - gap);
    return tools::writePng(path, sheet.data(), width, used, width, false, 9);
}
