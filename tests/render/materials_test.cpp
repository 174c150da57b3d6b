#include "engine/core/engine.hpp"
#include "engine/link/link.hpp"
#include "engine/render/fade_ramp_material.hpp"
#include "engine/render/gouraud_ramp_material.hpp"
#include "engine/render/texture_ramp_material.hpp"
#include "frame.hpp"

#include <gtest/gtest.h>

namespace korvid {
namespace {

using test::CornerSpec;
using test::Frame;
using test::grey;
using test::Triangle3;

constexpr uint32_t background = 0xFF102030;

// A front-facing triangle covering most of a 32x24 frame, lit by `light` at every corner.
struct BigFace : Triangle3 {
    explicit BigFace(const Colour& light, float invZ = 0.5f, float normalZ = 0.0f)
        : Triangle3(CornerSpec{1.0f, 1.0f, invZ, light, 0.0f, 0.0f, normalZ},
                    CornerSpec{1.0f, 23.0f, invZ, light, 0.0f, 1.0f, normalZ},
                    CornerSpec{31.0f, 1.0f, invZ, light, 1.0f, 0.0f, normalZ}) {}
};

TEST(Materials, RampsStepFromColourAToColourB) {
    GouraudRampMaterial one(Colour{10, 20, 30, 255}, Colour{255, 255, 255, 255}, 1);
    ASSERT_EQ(one.ramp.size(), 1u);
    EXPECT_EQ(one.ramp[0], 0xFF0A141Eu);
    GouraudRampMaterial none(Colour{10, 20, 30, 255}, Colour{255, 255, 255, 255}, 0);
    EXPECT_EQ(none.levels, 1);
    EXPECT_EQ(none.ramp.size(), 1u);

    GouraudRampMaterial bands(Colour{64, 64, 64, 255}, Colour{255, 255, 255, 255}, 4);
    EXPECT_EQ(bands.ramp, (std::vector<uint32_t>{0xFF404040, 0xFF7F7F7F, 0xFFBFBFBF, 0xFFFFFFFF}));
    EXPECT_EQ(bands.materialType, materialGouraud);
    EXPECT_EQ(bands.flags, uint32_t(materialLit));

    FadeRampMaterial fade(1.0f, Colour{0, 0, 0, 0}, Colour{40, 30, 20, 255}, 64);
    ASSERT_EQ(fade.ramp.size(), 64u);
    EXPECT_EQ(fade.ramp[0], 0x00000000u);
    EXPECT_EQ(fade.ramp[63], 0xFF281E14u);
    EXPECT_EQ(fade.materialType, materialFade);
    EXPECT_TRUE(fade.lit() && fade.depthSorted() && !fade.twoSided());

    TextureRampMaterial five("tex", Colour{}, Colour{}, 5);
    EXPECT_EQ(five.levels, 4);
    EXPECT_EQ(five.levelBits, 2);
    EXPECT_EQ(TextureRampMaterial("tex", Colour{}, Colour{}, 0).levels, 1);
    EXPECT_EQ(TextureRampMaterial("tex", Colour{}, Colour{}, 64).levelBits, 6);
    EXPECT_EQ(five.materialType, materialTexture);
    EXPECT_EQ(five.flags, uint32_t(materialLit));
}

TEST(Materials, GouraudDrawsTheRampEntryOfTheBrightnessAndWritesDepth) {
    GouraudRampMaterial m(Colour{0, 0, 0, 255}, Colour{252, 0, 0, 255}, 64);
    {
        Frame f(32, 24, background);
        BigFace face(grey(255.0f)); // white: just below 64, the last entry
        m.drawFace(f.ctx, face.face);
        EXPECT_EQ(f.pixel(5, 5), m.ramp[63]);
        BigFace half(grey(128.0f)); // 128 * 64 / 256 = 32, but hidden behind the first
        m.drawFace(f.ctx, half.face);
        EXPECT_EQ(f.pixel(5, 5), m.ramp[63]);
        BigFace nearer(grey(128.0f), 0.6f);
        m.drawFace(f.ctx, nearer.face);
        EXPECT_EQ(f.pixel(5, 5), m.ramp[32]);
        EXPECT_EQ(f.depthAt(5, 5), 0.6f);
    }
    {
        // One level: every face in colourA whatever its light.
        GouraudRampMaterial flat(Colour{9, 8, 7, 255}, Colour{255, 255, 255, 255}, 1);
        Frame f(32, 24, background);
        BigFace face(grey(200.0f));
        flat.drawFace(f.ctx, face.face);
        EXPECT_EQ(f.pixel(5, 5), 0xFF090807u);
    }
}

TEST(Materials, FacesThatCannotBeDrawnLeaveTheFrame) {
    Frame f(32, 24, background);
    GouraudRampMaterial empty(Colour{0, 0, 0, 255}, Colour{255, 255, 255, 255}, 4);
    empty.ramp.clear();
    BigFace face(grey(100.0f));
    empty.drawFace(f.ctx, face.face);

    GouraudRampMaterial m(Colour{0, 0, 0, 255}, Colour{255, 255, 255, 255}, 4);
    Triangle3 line(CornerSpec{0, 0, 0.5f}, CornerSpec{10, 10, 0.5f}, CornerSpec{20, 20, 0.5f});
    m.drawFace(f.ctx, line.face);
    Triangle3 back(CornerSpec{1, 1, 0.5f}, CornerSpec{31, 1, 0.5f}, CornerSpec{1, 23, 0.5f});
    m.drawFace(f.ctx, back.face);

    TextureRampMaterial unresolved("nothing", Colour{}, Colour{255, 255, 255, 255}, 4);
    unresolved.drawFace(f.ctx, face.face);
    EXPECT_EQ(f.countNot(background), 0);
    for (float d : f.depth)
        ASSERT_EQ(d, 0.0f);
}

TEST(Materials, FadeBlendsByTheNormalAndNeverWritesDepth) {
    FadeRampMaterial m(1.0f, Colour{0, 0, 0, 255}, Colour{200, 100, 0, 255}, 4);
    {
        // Turned straight at the camera: invisible, and it hides nothing behind.
        Frame f(32, 24, background);
        BigFace facing(grey(255.0f), 0.5f, -1.0f);
        m.drawFace(f.ctx, facing.face);
        BigFace away(grey(255.0f), 0.5f, 1.0f);
        m.drawFace(f.ctx, away.face);
        EXPECT_EQ(f.countNot(background), 0);
        for (float d : f.depth)
            ASSERT_EQ(d, 0.0f);
    }
    {
        // Edge-on: the ramp colour at (255 - 0) * 255 / 256 = 254 of its alpha.
        Frame f(32, 24, background);
        BigFace edgeOn(grey(0.0f), 0.5f, 0.0f);
        m.drawFace(f.ctx, edgeOn.face);
        const uint32_t expected = ((0x10 * 1 + 0x00 * 254) / 256) << 16 |
                                  ((0x20 * 1 + 0x00 * 254) / 256) << 8 |
                                  ((0x30 * 1 + 0x00 * 254) / 256);
        EXPECT_EQ(f.pixel(5, 5), expected); // entry 0 is black; alpha 0 on write
        EXPECT_EQ(f.depthAt(5, 5), 0.0f);
        // Behind a nearer surface it is not drawn.
        Frame g(32, 24, background);
        g.depthAt(5, 5) = 0.9f;
        BigFace lit(grey(255.0f), 0.5f, 0.0f);
        m.drawFace(g.ctx, lit.face);
        EXPECT_EQ(g.pixel(5, 5), background);
        EXPECT_EQ(g.pixel(6, 5), (((0x10u + 200u * 254u) / 256u) << 16) |
                                     (((0x20u + 100u * 254u) / 256u) << 8) | (0x30u / 256u));
    }
}

// An 8-bit mipmapped texture whose texels count 0, 1, 2, ... along its rows.
struct TextureScene {
    Engine engine;
    Surface* texture = new Surface;
    TextureRampMaterial* material;

    TextureScene(int32_t paletteSize, int32_t levels) {
        EXPECT_EQ(texture->create(4, 4, storage8, true), errNone);
        std::vector<uint32_t> palette;
        for (int32_t i = 0; i < paletteSize; ++i)
            palette.push_back(0xFF000000u | uint32_t(0x30 * (i + 1)) << 16 | uint32_t(0x40 + i));
        texture->setPalette(palette);
        uint8_t* texels = nullptr;
        int32_t pitch = 0;
        EXPECT_EQ(texture->lock(texels, pitch), errNone);
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < 4; ++x)
                texels[y * pitch + x] = uint8_t((x + y) % paletteSize);
        texture->unlock();
        material = new TextureRampMaterial("tex", Colour{64, 64, 64, 255},
                                           Colour{255, 255, 255, 255}, levels);
        EXPECT_EQ(engine.addResource(texture, "tex"), errNone);
        EXPECT_EQ(engine.addResource(material, "shoe"), errNone);
        linkResources(engine);
    }
};

TEST(Materials, TextureTableHoldsEveryPaletteColourAtEveryLevel) {
    TextureScene scene(3, 4); // three colours: rows of four
    Frame f(32, 24, background);
    BigFace unlit(grey(0.0f));
    scene.material->drawFace(f.ctx, unlit.face);
    const TextureRampMaterial& m = *scene.material;
    EXPECT_EQ(m.rowBits, 2);
    EXPECT_EQ(m.rowLength, 4);
    ASSERT_GE(m.table.size(), 16u);
    for (int32_t j = 0; j < 3; ++j) {
        const Colour c = Colour::fromPacked(scene.texture->palette[size_t(j)]);
        EXPECT_EQ(m.table[size_t(j)], c.modulated(Colour{64, 64, 64, 255}).packed());
        EXPECT_EQ(m.table[size_t(12 + j)], c.modulated(Colour{255, 255, 255, 255}).packed());
    }
    // Unlit corners read level 0; u = 0..1 over 30 pixels crosses all four texel columns.
    EXPECT_EQ(f.pixel(2, 2), m.table[0]);
    EXPECT_EQ(f.depthAt(2, 2), 0.5f);
    EXPECT_EQ(f.pixel(12, 2), m.table[1]); // u = 0.4 at x = 13: texel column 1
    EXPECT_EQ(f.pixel(24, 2), m.table[0]); // u = 0.8: column 3, texel 3 % 3

    // A large face (|det| = 12000) is drawn perspective-correct: down its left side u runs
    // from 0 to 1 while 1/z falls from 1 to 0.25, so on row 51 (halfway) every pixel has
    // u = (0.25 * 0.5) / (1 - 0.75 * 0.5) = 0.2, texel column 0, where an affine u of 0.5
    // would read column 2.
    Frame wide(128, 104, background);
    Triangle3 deep(CornerSpec{1.0f, 1.0f, 1.0f, grey(0.0f), 0.0f, 0.0f},
                   CornerSpec{1.0f, 101.0f, 0.25f, grey(0.0f), 1.0f, 0.0f},
                   CornerSpec{121.0f, 1.0f, 1.0f, grey(0.0f), 0.0f, 0.0f});
    scene.material->drawFace(wide.ctx, deep.face);
    for (int32_t x : {1, 30, 59})
        EXPECT_EQ(wide.pixel(x, 51), m.table[0]) << x;
    // Row 71: u = 0.175 / 0.475 = 0.37, column 1 (affine 0.7, column 2).
    EXPECT_EQ(wide.pixel(10, 71), m.table[1]);

    // The table is kept: a later palette change is not seen.
    scene.texture->setPaletteEntry(0, 0xFFFFFFFF);
    BigFace nearer(grey(255.0f), 0.75f);
    scene.material->drawFace(f.ctx, nearer.face);
    EXPECT_EQ(f.pixel(2, 2), m.table[12]);
    EXPECT_FALSE(scene.texture->locked);
}

TEST(Materials, TextureSkipsWhatIsNotAnEightBitTextureOrCannotLock) {
    Frame f(32, 24, background);
    BigFace face(grey(128.0f));
    {
        TextureScene scene(16, 4);
        scene.texture->mipmapped = false;
        scene.material->drawFace(f.ctx, face.face);
        EXPECT_TRUE(scene.material->table.empty());
    }
    {
        TextureScene scene(16, 4);
        uint8_t* texels = nullptr;
        int32_t pitch = 0;
        ASSERT_EQ(scene.texture->lock(texels, pitch), errNone);
        scene.material->drawFace(f.ctx, face.face); // the second lock fails
        scene.texture->unlock();
    }
    {
        TextureScene scene(16, 4);
        ASSERT_EQ(scene.texture->create(4, 4, storage32, true), errNone);
        scene.material->drawFace(f.ctx, face.face);
    }
    EXPECT_EQ(f.countNot(background), 0);
}

} // namespace
} // namespace korvid
