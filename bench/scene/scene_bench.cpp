// Mesh conversion of a finely tessellated two-sided torus (two materials, smoothing bands)
// at three sizes, to show linear growth, and the import of the largest reference scenes.
// Run from the repository root.
#include "engine/core/engine.hpp"
#include "engine/link/link.hpp"
#include "engine/scene/import.hpp"
#include "engine/scene/mesh.hpp"
#include "tests/scene/synthetic_mesh.hpp"

#include <benchmark/benchmark.h>

using namespace korvid;

static void ConvertTorus(benchmark::State& state) {
    // rings x 100 sides x 4 triangles (outward and inward).
    const int rings = int(state.range(0)) / 400;
    const testing::LibMesh torus = testing::makeTorus(rings, 100, true);
    for (auto _ : state) {
        Engine engine;
        if (convertMesh(engine, torus.get()) != errNone)
            state.SkipWithError("conversion failed");
        benchmark::DoNotOptimize(engine.findResource(kindMesh, "torus"));
    }
    state.counters["triangles"] = double(torus->faces);
}
BENCHMARK(ConvertTorus)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

static void ImportReference(benchmark::State& state, const char* file) {
    for (auto _ : state) {
        Engine engine;
        if (importScene(engine, "scene", file) != errNone)
            state.SkipWithError("import failed");
        linkResources(engine);
    }
}
BENCHMARK_CAPTURE(ImportReference, fels, KORVID_TEST_DATA "/3ds/fels.3ds")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ImportReference, test1, KORVID_TEST_DATA "/3ds/test1.3ds")
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
