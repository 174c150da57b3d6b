// Each effect drawn on 512 x 384 frames, as the show draws it, the mosaic build, and the
// zoomed window's enlargement of the frame.
// Run: build/bench/effects/bench_effects (times are per frame).

#include "demo/effects/blend.hpp"
#include "demo/effects/cell_mosaic.hpp"
#include "demo/effects/grid_warp.hpp"
#include "demo/effects/interference_plasma.hpp"
#include "demo/effects/oscilloscope.hpp"
#include "demo/effects/palettes.hpp"
#include "demo/effects/ring_field.hpp"
#include "demo/effects/sprite_swarm.hpp"
#include "demo/effects/textured_tunnel.hpp"
#include "demo/effects/twister.hpp"
#include "demo/pixel_zoom.hpp"
#include "engine/core/surface.hpp"

#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int32_t width = 512, height = 384;

std::vector<uint32_t> noise(size_t count, uint32_t seed) {
    std::vector<uint32_t> out(count);
    for (uint32_t& v : out) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        v = seed;
    }
    return out;
}

// A 32-bit engine surface of noise.
struct Frame {
    explicit Frame(int32_t w = width, int32_t h = height, uint32_t seed = 1) {
        surface.create(w, h, korvid::storage32, false);
        const std::vector<uint32_t> values = noise(size_t(w) * size_t(h), seed);
        uint32_t* pixels = nullptr;
        int32_t pitch = 0;
        surface.lock(pixels, pitch);
        for (int32_t y = 0; y < h; ++y)
            std::copy_n(values.data() + y * w, w, pixels + y * pitch);
        surface.unlock();
    }
    uint32_t* lock() {
        uint32_t* pixels = nullptr;
        int32_t pitch = 0;
        surface.lock(pixels, pitch);
        return pixels;
    }
    korvid::Surface surface;
};

void perFrame(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations());
}

void BM_BlendNoise(benchmark::State& state) {
    Frame frame;
    for (auto _ : state)
        blend_noise(&frame.surface, 0.15f);
    perFrame(state);
}
BENCHMARK(BM_BlendNoise)->Unit(benchmark::kMillisecond);

void BM_BlendNoiseTo(benchmark::State& state) {
    Frame display(width, height, 2), frame;
    for (auto _ : state)
        blend_noise_to(&display.surface, &frame.surface, 0.15f);
    perFrame(state);
}
BENCHMARK(BM_BlendNoiseTo)->Unit(benchmark::kMillisecond);

void BM_BlendColourTo(benchmark::State& state) {
    Frame display(width, height, 2), frame;
    for (auto _ : state)
        blend_colour_to(&display.surface, &frame.surface, 0xFFFFFFFF, 0.4f);
    perFrame(state);
}
BENCHMARK(BM_BlendColourTo)->Unit(benchmark::kMillisecond);

// Whole frames drawn onto the Display in each blend mode: replace at full opacity (a copy)
// and at 0.3 (the motion trail), alpha from a source that is half transparent, half
// opaque and a band of soft edges (the 3D logo over the boots), and add (the greetings).
void BM_SurfaceDraw(benchmark::State& state) {
    const auto mode = korvid::BlendMode(state.range(0));
    const float opacity = state.range(1) / 100.0f;
    Frame display(width, height, 2), frame;
    frame.surface.blendMode = mode;
    if (mode == korvid::blendAlpha) {
        uint32_t* pixels = frame.lock();
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                uint32_t& p = pixels[y * frame.surface.pitch + x];
                const uint32_t alpha = y < 160 ? 0 : y < 224 ? p >> 24 : 255;
                p = (p & 0x00FFFFFF) | alpha << 24;
            }
        frame.surface.unlock();
    }
    for (auto _ : state)
        display.surface.draw(&frame.surface, 0, 0, opacity);
    perFrame(state);
}
BENCHMARK(BM_SurfaceDraw)
    ->ArgNames({"mode", "opacity%"})
    ->Args({korvid::blendReplace, 100})
    ->Args({korvid::blendReplace, 30})
    ->Args({korvid::blendAlpha, 100})
    ->Args({korvid::blendAdd, 100})
    ->Unit(benchmark::kMillisecond);

void BM_Oscilloscope(benchmark::State& state) {
    Frame display;
    const std::vector<uint32_t> words = noise(256, 3);
    const auto* samples = reinterpret_cast<const int16_t*>(words.data());
    for (auto _ : state) {
        uint32_t* pixels = display.lock();
        oscilloscope_dots(pixels, display.surface.pitch, width, height, samples, 1024, 0xFF808080,
                          0xFF808080);
        display.surface.unlock();
    }
    perFrame(state);
}
BENCHMARK(BM_Oscilloscope)->Unit(benchmark::kMillisecond);

// The character scene's stripe grid: reset, rotate, ripple, beat flash, shaded draw.
void BM_GridWarp(benchmark::State& state) {
    Frame target, texture(256, 256, 4);
    GridWarp grid;
    grid.bind(&target.surface, &texture.surface, 3, true);
    float t = 0.0f;
    for (auto _ : state) {
        grid.reset(0.3f);
        grid.rotate(t / 32 * 0.33333334f + 1.2566371f, 3.3f);
        grid.ripple(1.0f, 4.3f, t / 8);
        grid.shade(1.5f);
        grid.draw(false);
        t += 0.3f;
    }
    perFrame(state);
}
BENCHMARK(BM_GridWarp)->Unit(benchmark::kMillisecond);

// The show's two plasmas: the dissolve writes alpha over the whole frame, the flicker adds
// its colours to a band.
void BM_Plasma(benchmark::State& state, bool dissolve) {
    Frame frame;
    InterferencePlasma plasma(width, height, dissolve ? alpha_ramp_palette() : flicker_palette());
    if (dissolve) {
        plasma.setWaves(55.0, 16.0, 8.0, 0.0, 0.0, 0.0);
        plasma.setSpeeds(4, 4);
        plasma.setSteps(3, 2, 5, 1);
    } else {
        plasma.setWaves(40.0, 20.0, 63.0, 0.0, 0.0, 0.0);
        plasma.setSpeeds(3, 3);
        plasma.setSteps(5, 4, 6, 2);
        plasma.setClip({0, 250, 512, 90});
    }
    for (auto _ : state) {
        plasma.advance(2.0);
        uint32_t* pixels = frame.lock();
        if (dissolve)
            plasma.alphaTo(pixels, 0, 200);
        else
            plasma.addTo(pixels);
        frame.surface.unlock();
    }
    perFrame(state);
}
BENCHMARK_CAPTURE(BM_Plasma, alpha_frame, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Plasma, add_band, false)->Unit(benchmark::kMillisecond);

void BM_RingField(benchmark::State& state) {
    Frame frame;
    RingField field(width, height, grey_ramp_palette(), 1.4, 1.3, 8, 13);
    double t = 0.0;
    for (auto _ : state) {
        field.draw(frame.lock(), t);
        frame.surface.unlock();
        t += 0.05;
    }
    perFrame(state);
}
BENCHMARK(BM_RingField)->Unit(benchmark::kMillisecond);

void BM_MosaicBuild(benchmark::State& state) {
    for (auto _ : state) {
        CellMosaic mosaic;
        mosaic.build(3, width, height, 1.2, 2.4);
        benchmark::DoNotOptimize(mosaic.maps.data());
    }
}
BENCHMARK(BM_MosaicBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MosaicRemap(benchmark::State& state) {
    CellMosaic mosaic;
    mosaic.build(3, width, height, 1.2, 2.4);
    Frame display(width, height, 2), frame;
    int32_t level = 0;
    for (auto _ : state) {
        mosaic.remap(display.lock(), frame.lock(), width, height, width, level);
        display.surface.unlock();
        frame.surface.unlock();
        level = (level + 1) % 3;
    }
    perFrame(state);
}
BENCHMARK(BM_MosaicRemap)->Unit(benchmark::kMillisecond);

// The two twisters side by side, rock and cloth, as the show draws them.
void BM_Twisters(benchmark::State& state) {
    const std::vector<uint32_t> spec = noise(65536, 5), light = noise(65536, 6),
                                rock = noise(65536, 7), rockb = noise(65536, 8);
    Twister rockTwister, clothTwister;
    rockTwister.setMaps(spec.data(), light.data(), rock.data(), rockb.data());
    clothTwister.setMaps(spec.data(), light.data(), rockb.data(), rock.data());
    Frame frame;
    double b = 21.0;
    for (auto _ : state) {
        uint32_t* pixels = frame.lock();
        rockTwister.draw(pixels, width, height, frame.surface.pitch, b * 10, 356);
        clothTwister.draw(pixels, width, height, frame.surface.pitch, b * -10, 156);
        frame.surface.unlock();
        b += 0.01;
    }
    perFrame(state);
}
BENCHMARK(BM_Twisters)->Unit(benchmark::kMillisecond);

void BM_Tunnel(benchmark::State& state) {
    std::vector<uint8_t> image(65536);
    const std::vector<uint32_t> words = noise(65536, 9);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(words[i]);
    Palette palette;
    std::copy_n(words.begin(), 256, palette.begin());
    TexturedTunnel tunnel(width, height, image.data(), palette, 255.0f);
    Frame frame;
    for (auto _ : state) {
        tunnel.advance(0.02f);
        frame.lock();
        tunnel.render(frame.surface.sdlSurface);
        frame.surface.unlock();
    }
    perFrame(state);
}
BENCHMARK(BM_Tunnel)->Unit(benchmark::kMillisecond);

void BM_SpriteSwarm(benchmark::State& state) {
    // A 64 x 64 sprite written for the occasion.
    const std::string path = "bench_swarm_sprite.bmp";
    SDL_Surface* image = SDL_CreateRGBSurface(0, 64, 64, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(image, nullptr, 0x404040);
    SDL_SaveBMP(image, path.c_str());
    SDL_FreeSurface(image);
    SpriteSwarm swarm(width, height, path, 0, 0);
    std::remove(path.c_str());
    Frame frame;
    double t = 0.0;
    for (auto _ : state) {
        swarm.draw(frame.surface.sdlSurface, t);
        t += 0.01;
    }
    perFrame(state);
}
BENCHMARK(BM_SpriteSwarm)->Unit(benchmark::kMillisecond);

// The zoomed window's present: the 512 x 384 Display enlarged 2, 3 or 4 times.
void BM_Zoom(benchmark::State& state) {
    const int32_t factor = int32_t(state.range(0));
    Frame frame;
    std::vector<uint32_t> screen(size_t(width * factor) * size_t(height * factor));
    const uint32_t* pixels = frame.lock();
    for (auto _ : state) {
        zoom_pixels(pixels, width, height, frame.surface.pitch, factor, screen.data(),
                    width * factor);
        benchmark::ClobberMemory();
    }
    frame.surface.unlock();
    perFrame(state);
}
BENCHMARK(BM_Zoom)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
