#pragma once
// The palettes of the show's plasmas and ring field.

#include "demo/effects/support.hpp"

// Black with alpha rising by 4 per entry over 0..63, opaque over 64..127, falling from
// 0xFC by 4 per entry over 128..191, transparent over 192..255.
Palette alpha_ramp_palette();

// Entries i and 255 - i for i < 128: red i / 6, green i / 6 + r, blue i / 3, where
// r = rand() % 10 is drawn from the show's generator once per i in ascending order.
Palette flicker_palette();

// Soft grey bands: pairs rising by 4 from 0x202020 over 0..63, flat 0xA0A0A0 over 64..127,
// the pairs falling back over 128..191 (the odd entry of each with a bluer tint), flat
// 0x202020 over 192..255.
Palette grey_ramp_palette();
