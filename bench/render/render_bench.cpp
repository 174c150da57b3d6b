// Frames of the benchmark scene through renderScene, single-threaded: ms per frame,
// triangles per second (every triangle of the scene, drawn or rejected) and filled pixels
// per second (pixels covered in the finished frame's depth buffer).
#include "bench_scene.hpp"

#include "engine/render/pipeline.hpp"

#include <benchmark/benchmark.h>

namespace {

using korvid::bench::BenchScene;

void renderFrames(benchmark::State& state, bool withGouraudMesh) {
    BenchScene s(withGouraudMesh);
    korvid::Surface colour;
    colour.create(512, 384, korvid::storage32, false);
    auto frame = [&] {
        return korvid::renderScene(&colour, nullptr, s.camera, nullptr, nullptr, nullptr, false);
    };
    if (frame() != korvid::errNone) {
        state.SkipWithError("renderScene failed");
        return;
    }
    double filled = 0.0;
    for (int32_t y = 0; y < 384; ++y)
        for (int32_t x = 0; x < 512; ++x)
            filled += korvid::renderScratch.depth
                          .cells[size_t(y * korvid::renderScratch.depth.pitch + x)] != 0.0f;
    for (auto _ : state)
        benchmark::DoNotOptimize(frame());
    using benchmark::Counter;
    state.counters["triangles"] = double(s.triangles);
    state.counters["triangles/s"] =
        Counter(double(s.triangles), Counter::kIsIterationInvariantRate);
    state.counters["filled"] = filled;
    state.counters["pixels/s"] = Counter(filled, Counter::kIsIterationInvariantRate);
}

void BM_TexturedScene(benchmark::State& state) {
    renderFrames(state, false);
}
void BM_TexturedSceneWithGouraudMesh(benchmark::State& state) {
    renderFrames(state, true);
}

BENCHMARK(BM_TexturedScene)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TexturedSceneWithGouraudMesh)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
