#pragma once
// The show: the working objects of the timeline and its parts, one loop each, run in
// order while demo time lies in each part's range, then the closing image.

#include "demo/effects/cell_mosaic.hpp"
#include "demo/effects/effect_images.hpp"
#include "demo/effects/grid_warp.hpp"
#include "demo/effects/interference_plasma.hpp"
#include "demo/effects/ring_field.hpp"
#include "demo/effects/sprite_swarm.hpp"
#include "demo/effects/textured_tunnel.hpp"
#include "demo/effects/twister.hpp"
#include "demo/show_parts.hpp"
#include "demo/twist_modifier.hpp"
#include "engine/core/surface.hpp"
#include "engine/scene/scene.hpp"

#include <memory>

class Show {
public:
    // Builds the working objects; loads the effects' own images (failures end the program).
    Show();
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    // Runs every part and the closing image; returns when the show is over. A show
    // `joining` at the present demo time (the music was started there) skips the parts
    // before it, and the part it joins sets what builds up from frame to frame (cuts, slides,
    // scrolls, angles) as a run from the start would have it by then.
    void run(bool joining = false);

private:
    // True when the show joined part-way through part `part`.
    bool joins(int part) const { return part == joinedPart; }

    void waitForMusic();
    void boots();
    void groundAndLogo();
    void credits();
    void creditGrids();
    void tunnelPart();
    void motionTrail();
    void greetings();
    void twisters();
    void character();
    void redBoxes();
    void endImage();
    void closingImage();
    // The stripe grid behind the character and the red boxes.
    void stripeGrid();
    // Shades both credit grids on the beat.
    void beatFlash(GridWarp& grid) const;

    // Three work surfaces the size of the Display.
    korvid::Surface frame0, frame1, frame2;
    std::unique_ptr<InterferencePlasma> plasmaA, plasmaB;
    std::unique_ptr<RingField> ringField;
    IndexedImage tunnelImage;
    std::unique_ptr<TexturedTunnel> tunnel;
    TwisterImages rockImages, clothImages;
    Twister twisterRock, twisterCloth;
    CellMosaic mosaic;
    std::unique_ptr<SpriteSwarm> swarm;
    GridWarp gridA, gridB;
    TwistModifier characterTwist, boxesTwist;

    int joinedPart = -1;
    korvid::CameraNode* currentCamera = nullptr;
    int32_t cameraStep = 0;
    float titleX = 0.0f;
};
