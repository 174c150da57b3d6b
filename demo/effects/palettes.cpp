#include "demo/effects/palettes.hpp"

#include "platform/crt_rand.hpp"

Palette alpha_ramp_palette() {
    Palette p{};
    for (uint32_t i = 0; i < 64; ++i) {
        p[i] = (i * 4) << 24;
        p[64 + i] = 0xFF000000u;
        p[128 + i] = 0xFC000000u - i * 0x04000000u;
        p[192 + i] = 0;
    }
    return p;
}

Palette flicker_palette() {
    Palette p{};
    for (uint32_t i = 0; i < 128; ++i) {
        const uint32_t r = uint32_t(crt::rand() % 10);
        const uint32_t colour = (i / 6) << 16 | (i / 6 + r) << 8 | i / 3;
        p[i] = colour;
        p[255 - i] = colour;
    }
    return p;
}

Palette grey_ramp_palette() {
    Palette p{};
    for (uint32_t k = 0; k < 32; ++k) {
        const uint32_t grey = 0x202020u + 4 * k * 0x010101u;
        p[2 * k] = grey;
        p[2 * k + 1] = grey;
        p[190 - 2 * k] = grey;
        p[191 - 2 * k] = grey + 0x20;
    }
    for (uint32_t i = 64; i < 128; ++i)
        p[i] = 0xA0A0A0u;
    for (uint32_t i = 192; i < 256; ++i)
        p[i] = 0x202020u;
    return p;
}
