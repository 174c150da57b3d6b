#pragma once
// The pictures of the data set, each made from nothing by code. Sizes and layouts follow
// how the show draws them; the files themselves are written by images.cpp.

#include "canvas.hpp"
#include "image_files.hpp"

namespace dataset {

// Full-screen pictures, 512 x 384.
Canvas waitScreen();
Canvas closingScreen(); // "slutt": the last picture of the show
Canvas nightMeadow();   // "end": behind the firefly swarm
Canvas creditsBackdrop();
Canvas twisterBackdrop(); // "bgfx1"
Canvas emberFlow();       // "bgfx0"
Canvas violetWaves();     // "bgfx2"
Canvas nebula();          // "bgfx3"
// 512 x 1024, scrolled upward behind the greetings.
Canvas greetingsSky();

// Logos and titles, with alpha where the show blends them.
Canvas smallLogo();    // "pellogo", top left of the opening
Canvas mainLogo();     // "ruklogo", 276 x 170
Indexed logoTexture(); // "ruklogo_tex", background on palette entry 250
Canvas titleMask();    // "startx": white type on black
Canvas titleColour();  // "startx2"

// Credit screens: role pictures, role captions, and the textures of the credit grids.
Canvas musicPicture();
Canvas graphicsPicture();
Canvas codePicture();
Canvas musicCaption();
Canvas graphicsCaption();
Canvas codeCaption();
Canvas creditsTexture();     // "allcreds_tex", 512 x 512 with alpha
Canvas greetingsStrip();     // "allgreets"
Canvas creditsGridTexture(); // "bg_credits_tex", tileable
Canvas nightTexture();       // "end_tex", tileable

// Textures for the scenes and the tunnel (8-bit) and for the grids (32-bit).
Indexed leatherTexture();    // "realshoe"
Indexed grassTexture();      // "grass"
Indexed darkGroundTexture(); // "darkground"
Indexed tunnelTexture();     // "darkground2", 256 x 256
Canvas stripeTexture();      // "stripetex"

// Maps of the two twisters and the firefly sprite.
Canvas specularMap();
Canvas rockLightMap();
Canvas clothLightMap();
Canvas rockColour();
Canvas clothColour();
Canvas rockHeight();
Canvas clothHeight();
Indexed fireflySprite();

} // namespace dataset
