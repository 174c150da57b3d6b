#pragma once
// Type for the art: FreeType renders strings into coverage masks with DejaVu fonts.

#include "canvas.hpp"

#include <memory>
#include <mutex>
#include <string>

struct FT_FaceRec_;

namespace dataset {

namespace fonts {
constexpr const char* sans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* sansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* serif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
constexpr const char* serifBold = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
constexpr const char* mono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr const char* monoBold = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
} // namespace fonts

// A line of text as coverage; the pen started at x = 0 on row `baseline`.
struct TextMask {
    Mask mask;
    int baseline = 0;
    float advance = 0.0f; // pen travel, the width the line occupies
};

class Font {
public:
    // Throws nothing: check ok() before use.
    explicit Font(const char* path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool ok() const { return face != nullptr; }

    // UTF-8 `text` at `pixelSize` (em height), with `tracking` extra pixels after each
    // letter. The mask has a margin of `margin` pixels on every side.
    TextMask render(const std::string& text, float pixelSize, float tracking = 0.0f,
                    int margin = 0) const;

private:
    struct Library;
    std::unique_ptr<Library> library;
    ::FT_FaceRec_* face = nullptr;
    mutable std::mutex busy; // a face holds the size and glyph of the last call
};

// Loads the font or ends the generator with a message naming the missing file.
const Font& font(const char* path);

} // namespace dataset
