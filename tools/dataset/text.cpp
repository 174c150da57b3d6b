#include "text.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace dataset {

namespace {

std::vector<uint32_t> decodeUtf8(const std::string& text) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto c = uint8_t(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        uint32_t code = extra == 0 ? c : c & (0x3Fu >> extra);
        ++i;
        for (; extra > 0 && i < text.size(); --extra, ++i)
            code = code << 6 | (uint8_t(text[i]) & 0x3Fu);
        out.push_back(code);
    }
    return out;
}

} // namespace

struct Font::Library {
    FT_Library handle = nullptr;
    ~Library() {
        if (handle)
            FT_Done_FreeType(handle);
    }
};

Font::Font(const char* path) : library(new Library) {
    if (FT_Init_FreeType(&library->handle) != 0)
        return;
    FT_Face opened = nullptr;
    if (FT_New_Face(library->handle, path, 0, &opened) == 0)
        face = opened;
}

Font::~Font() {
    if (face)
        FT_Done_Face(face);
}

TextMask Font::render(const std::string& text, float pixelSize, float tracking, int margin) const {
    TextMask out;
    if (!face)
        return out;
    std::lock_guard<std::mutex> lock(busy);
    // 26.6 fixed point sizes: fractional pixel sizes keep layouts exact.
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(pixelSize * 64.0f)), 72, 72);
    const float ascent = float(face->size->metrics.ascender) / 64.0f;
    const float descent = -float(face->size->metrics.descender) / 64.0f;
    const std::vector<uint32_t> codes = decodeUtf8(text);

    // First pass: pen positions with kerning, to size the mask.
    std::vector<float> pens;
    float pen = 0.0f;
    FT_UInt previous = 0;
    for (uint32_t code : codes) {
        const FT_UInt glyph = FT_Get_Char_Index(face, code);
        if (previous && glyph && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            pen += float(kern.x) / 64.0f;
        }
        pens.push_back(pen);
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) == 0)
            pen += float(face->glyph->advance.x) / 64.0f + tracking;
        previous = glyph;
    }
    out.advance = pen - (codes.empty() ? 0.0f : tracking);
    const int width = int(std::ceil(out.advance + pixelSize * 0.25f)) + 2 * margin;
    const int height = int(std::ceil(ascent + descent)) + 2 * margin;
    out.mask = Mask(width, height);
    out.baseline = margin + int(std::lround(ascent));

    for (size_t i = 0; i < codes.size(); ++i) {
        const FT_UInt glyph = FT_Get_Char_Index(face, codes[i]);
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int left = margin + int(std::lround(pens[i])) + slot->bitmap_left;
        const int top = out.baseline - slot->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int x = left + int(col), y = top + int(row);
                if (x < 0 || y < 0 || x >= width || y >= height)
                    continue;
                const float v = float(bitmap.buffer[int(row) * bitmap.pitch + int(col)]) / 255.0f;
                float& m = out.mask.at(x, y);
                m = std::min(1.0f, m + v);
            }
    }
    return out;
}

const Font& font(const char* path) {
    static std::mutex guard;
    static std::map<std::string, std::unique_ptr<Font>> loaded;
    std::lock_guard<std::mutex> lock(guard);
    std::unique_ptr<Font>& entry = loaded[path];
    if (!entry) {
        entry.reset(new Font(path));
        if (!entry->ok()) {
            std::fprintf(stderr, "korvid_dataset: cannot open the font %s\n", path);
            std::exit(1);
        }
    }
    return *entry;
}

} // namespace dataset
