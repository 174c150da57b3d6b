// Parts of the generator that must be exact: rotation keys as lib3ds reads them back, and
// the hand-written PCX coder.

#include "data_files.hpp"
#include "run_program.hpp"

#include "image_files.hpp"
#include "scene_file.hpp"

#include <SDL/SDL_image.h>
#include <lib3ds/file.h>
#include <lib3ds/matrix.h>
#include <lib3ds/node.h>
#include <lib3ds/vector.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace dataset;

TEST(DatasetGenerator, RotationKeysReadBackAsTheOrientationsGiven) {
    // Many small turns about a wandering axis: each key is stored as a turn from the
    // previous one, so any error in the conversion would build up along the track.
    std::vector<Key<Quat>> keys;
    for (int f = 0; f <= 400; ++f) {
        const float t = float(f) * 0.05f;
        const Vec3 axis{std::cos(t * 0.7f), std::sin(t * 1.3f), 0.5f};
        keys.push_back({f, axisAngle(axis, t * 2.1f) * axisAngle({1, 0, 0}, 0.3f)});
    }
    const std::string folder = freshFolder("dataset-rotation");
    {
        SceneFile scene(400);
        MeshData mesh("Probe");
        addBox(mesh, {0, 0, 0}, {1, 1, 1}, "tovik");
        scene.addMesh(mesh);
        scene.setRotation(scene.addObject("Probe"), keys);
        ASSERT_TRUE(scene.save(folder + "/probe.3ds"));
    }
    Lib3dsFile* file = lib3ds_file_load((folder + "/probe.3ds").c_str());
    ASSERT_NE(file, nullptr);
    for (const Key<Quat>& k : keys) {
        lib3ds_file_eval(file, float(k.frame));
        // Where the file's node matrix sends two axes, against the intended rotation.
        for (Vec3 v : {Vec3{1, 0, 0}, Vec3{0, 0, 1}}) {
            Lib3dsVector in = {v.x, v.y, v.z}, out;
            lib3ds_vector_transform(out, file->nodes->matrix, in);
            const Vec3 expected = rotate(k.value, v);
            EXPECT_NEAR(out[0], expected.x, 1e-3f) << "frame " << k.frame;
            EXPECT_NEAR(out[1], expected.y, 1e-3f) << "frame " << k.frame;
            EXPECT_NEAR(out[2], expected.z, 1e-3f) << "frame " << k.frame;
        }
    }
    lib3ds_file_free(file);
}

TEST(DatasetGenerator, PcxKeepsEveryIndexAndColour) {
    // Runs of every length around the coder's limit of 63, single bytes of 0xC0 and up
    // (which need a count of their own), and an odd width (rows are padded).
    Indexed image;
    image.width = 131;
    image.height = 9;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.indices.push_back(uint8_t(y < 3 ? (x < 70 ? 200 : x) : (x * 7 + y * 13) & 255));
    for (int i = 0; i < 256; ++i)
        image.palette[size_t(i)] =
            uint32_t(i) << 16 | uint32_t(255 - i) << 8 | uint32_t(i * 3 & 255);
    const std::string folder = freshFolder("dataset-pcx");
    ASSERT_TRUE(writePcx(folder + "/probe.pcx", image));
    SDL_Surface* loaded = IMG_Load((folder + "/probe.pcx").c_str());
    ASSERT_NE(loaded, nullptr) << IMG_GetError();
    ASSERT_EQ(loaded->w, image.width);
    ASSERT_EQ(loaded->format->BitsPerPixel, 8);
    SDL_LockSurface(loaded);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t index = static_cast<uint8_t*>(loaded->pixels)[y * loaded->pitch + x];
            ASSERT_EQ(index, image.indices[size_t(y * image.width + x)]) << x << "," << y;
            const SDL_Color& c = loaded->format->palette->colors[index];
            EXPECT_EQ(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b, image.palette[index]);
        }
    SDL_UnlockSurface(loaded);
    SDL_FreeSurface(loaded);
}
