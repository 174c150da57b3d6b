#include "demo/effects/image_sprite.hpp"
#include "demo/effects/sprite_swarm.hpp"
#include "effects_test_support.hpp"

#include <SDL/SDL.h>

#include <cmath>
#include <string>

using namespace effects_test;

namespace {

// A 32-bit surface with pitch == width * 4 holding `values`.
struct Frame {
    Frame(int32_t w, int32_t h, const std::vector<uint32_t>& values) : surface(sdlFrame(w, h)) {
        set(values);
    }
    ~Frame() { SDL_FreeSurface(surface); }
    void set(const std::vector<uint32_t>& values) {
        std::copy(values.begin(), values.end(), static_cast<uint32_t*>(surface->pixels));
    }
    std::vector<uint32_t> get() const {
        const auto* p = static_cast<const uint32_t*>(surface->pixels);
        return std::vector<uint32_t>(p, p + surface->w * surface->h);
    }
    SDL_Surface* surface;
};

uint32_t plainOp(uint32_t op, uint32_t d, uint32_t s) {
    uint32_t out = 0;
    switch (op) {
    case 0:
        return s;
    case 1:
        return s != 0 ? s : d;
    case 2:
        for (int b = 0; b < 24; b += 8)
            out |= std::min(((d >> b) & 0xFF) + ((s >> b) & 0xFF), 0xFFu) << b;
        return out;
    case 3:
        for (int b = 0; b < 24; b += 8)
            out |= std::min((d >> b) & 0xFF, (s >> b) & 0xFF) << b;
        return out;
    case 4:
        return s != 0 ? ~d : d;
    default:
        return d;
    }
}

// The image placed at (x, y), pixel by pixel, where it lies inside the clip and the frame.
std::vector<uint32_t> plainDraw(std::vector<uint32_t> frame, int32_t fw, int32_t fh,
                                const std::vector<uint32_t>& image, int32_t iw, int32_t ih,
                                int32_t x, int32_t y, const Clip2D& clip, uint32_t op) {
    for (int32_t j = 0; j < ih; ++j)
        for (int32_t i = 0; i < iw; ++i) {
            const int32_t px = x + i, py = y + j;
            if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom ||
                px < 0 || py < 0 || px >= fw || py >= fh)
                continue;
            uint32_t& d = frame[size_t(py * fw + px)];
            d = plainOp(op, d, image[size_t(j * iw + i)]);
        }
    return frame;
}

// Random image pixels with some exact zeros and black pixels that carry only alpha: key
// skips the first and copies the second, invert turns the destination under the second.
std::vector<uint32_t> spriteImage(ImageSprite& sprite, uint32_t seed) {
    std::vector<uint32_t> values =
        randomWords(size_t(sprite.getWidth() * sprite.getHeight()), seed);
    for (size_t i = 0; i < values.size(); i += 3)
        values[i] = i % 2 ? 0 : 0x7F000000;
    auto* pixels = static_cast<uint32_t*>(sprite.image->pixels);
    for (int32_t y = 0; y < sprite.getHeight(); ++y)
        for (int32_t x = 0; x < sprite.getWidth(); ++x)
            pixels[y * sprite.image->pitch / 4 + x] = values[size_t(y * sprite.getWidth() + x)];
    return values;
}

} // namespace

TEST(ImageSprite, OperatorsAndClipping) {
    const std::string path = writeBmp("sprite_operators", 13, 9);
    const std::vector<uint32_t> background = randomWords(40 * 30, 21);
    for (uint32_t op = 0; op <= 5; ++op) {
        ImageSprite sprite(40, 30, path, op, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
        ASSERT_TRUE(sprite.isReady());
        ASSERT_EQ(sprite.getWidth(), 13);
        ASSERT_EQ(sprite.getHeight(), 9);
        const std::vector<uint32_t> image = spriteImage(sprite, 22 + op);
        const Clip2D clip{3, 2, 35, 27};
        sprite.setClip(clip);
        Frame frame(40, 30, background);
        // Inside, cut on the left and top, cut on the right and bottom.
        for (const auto& at : {std::pair{10, 8}, std::pair{-4, -3}, std::pair{30, 24}}) {
            const std::vector<uint32_t> expected =
                plainDraw(frame.get(), 40, 30, image, 13, 9, at.first, at.second, clip, op);
            EXPECT_EQ(sprite.draw(frame.surface, at.first, at.second), 1);
            ASSERT_EQ(frame.get(), expected) << "operator " << op << " at " << at.first;
        }
    }
}

TEST(ImageSprite, EdgesOfTheClip) {
    const std::string path = writeBmp("sprite_edges", 4, 4);
    ImageSprite sprite(40, 30, path, ImageSprite::opKey, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    sprite.setClip({10, 10, 30, 20});
    spriteImage(sprite, 5);
    const std::vector<uint32_t> background = randomWords(40 * 30, 6);
    Frame frame(40, 30, background);
    // x + w exactly at the clip's left edge still runs and changes nothing; one further
    // left it is refused. The same on the other sides.
    EXPECT_EQ(sprite.draw(frame.surface, 6, 12), 1);
    EXPECT_EQ(sprite.draw(frame.surface, 5, 12), 0);
    EXPECT_EQ(sprite.draw(frame.surface, 12, 6), 1);
    EXPECT_EQ(sprite.draw(frame.surface, 12, 5), 0);
    EXPECT_EQ(sprite.draw(frame.surface, 30, 12), 1);
    EXPECT_EQ(sprite.draw(frame.surface, 31, 12), 0);
    EXPECT_EQ(sprite.draw(frame.surface, 12, 21), 0);
    EXPECT_EQ(frame.get(), background);

    // A missing file leaves the sprite not ready; it draws nothing.
    ImageSprite missing(40, 30, "no/such/file.png", 0, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    EXPECT_FALSE(missing.isReady());
    EXPECT_EQ(missing.draw(frame.surface, 0, 0), 0);
    EXPECT_EQ(frame.get(), background);
}

TEST(SpriteSwarm, EightAdditiveSpritesOnTheirPaths) {
    const std::string path = writeBmp("sprite_swarm", 16, 12);
    SpriteSwarm swarm(512, 384, path, 0, 0);
    ASSERT_TRUE(swarm.isReady());
    // Every sprite on its path, as the table gives it, at times spread over whole turns;
    // the rates and phases are floats, the centres width / 2 or width / 4 and height / 4.
    int32_t xs[8], ys[8];
    for (const double t : {0.0, 2.0, 3.25, 41.7}) {
        const auto at = [t](float rate, float phase) { return double(rate) * t + double(phase); };
        const double x[8] = {
            std::sin(at(0.7f, 1.5f)) * 180 + 256,  std::sin(at(0.5f, 4.2f)) * 185 + 256,
            std::sin(at(-0.5f, 3.1f)) * 200 + 256, std::sin(at(0.7f, 3.5f)) * 180 + 256,
            std::sin(at(0.5f, 7.2f)) * 150 + 128,  std::sin(at(-0.2f, 3.1f)) * 220 + 128,
            std::sin(at(-0.7f, 1.5f)) * 180 + 128, std::sin(at(0.5f, 5.2f)) * 190 + 128};
        const double y[8] = {
            std::cos(at(0.4f, 1.1f)) * 35 + 96,  std::cos(at(0.3f, 6.9f)) * 35 + 96,
            std::cos(at(0.9f, 1.2f)) * 45 + 96,  std::cos(at(-0.4f, 1.1f)) * 35 + 96,
            std::cos(at(0.2f, 6.9f)) * 35 + 96,  std::cos(at(0.7f, 1.2f)) * 60 + 96,
            std::cos(at(-0.4f, 1.1f)) * 35 + 96, std::cos(at(0.3f, 3.9f)) * 35 + 96};
        // Truncated; a sine computed another way may differ in its last bits.
        const auto truncated = [](int32_t got, double exact) {
            return got == int32_t(exact - 1e-9) || got == int32_t(exact + 1e-9);
        };
        swarm.positions(t, xs, ys);
        for (int i = 0; i < 8; ++i) {
            EXPECT_TRUE(truncated(xs[i], x[i])) << "sprite " << i + 1 << " at " << t;
            EXPECT_TRUE(truncated(ys[i], y[i])) << "sprite " << i + 1 << " at " << t;
        }
    }

    // The draw is the sprite added at the eight places, here with the destination held
    // locked by the caller around the whole call.
    const std::vector<uint32_t> image = spriteImage(*swarm.sprite, 31);
    const std::vector<uint32_t> background = randomWords(512 * 384, 32);
    Frame frame(512, 384, background);
    std::vector<uint32_t> expected = background;
    swarm.positions(3.25, xs, ys);
    for (int i = 0; i < 8; ++i)
        expected = plainDraw(expected, 512, 384, image, 16, 12, xs[i], ys[i], swarm.clip, 2);
    SDL_LockSurface(frame.surface);
    EXPECT_EQ(swarm.draw(frame.surface, 3.25), 1);
    SDL_UnlockSurface(frame.surface);
    EXPECT_EQ(frame.get(), expected);

    // The clip reaches the sprite.
    swarm.setClip({0, 0, 100, 100});
    EXPECT_EQ(swarm.sprite->clip.right, 100);

    // Without its image the swarm is still ready; its sprite's draws change nothing.
    SpriteSwarm empty(512, 384, "no/such/file.pcx", 0, 0);
    EXPECT_TRUE(empty.isReady());
    EXPECT_FALSE(empty.sprite->isReady());
    EXPECT_EQ(empty.draw(frame.surface, 0.0), 1);
    EXPECT_EQ(frame.get(), expected);
}
