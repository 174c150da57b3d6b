// The engine's set-up of rotation keys against lib3ds's own, which the C library's sin, cos
// and atan2 computed while reading: on this machine's C library, whose results are nearly
// all correctly rounded, as ours are, the two must agree exactly almost everywhere and
// within an ulp or two where the C library's rounding differs.

#include "engine/scene/rotation_keys.hpp"

#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/node.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

int32_t ordinal(float x) {
    int32_t i;
    std::memcpy(&i, &x, sizeof i);
    return i < 0 ? INT32_MIN - i : i;
}

struct Agreement {
    size_t values = 0, exact = 0, tracks = 0, keys = 0;
    int32_t worst = 0;
};

// Compares the values lib3ds left in the track with ours.
void compareTrackAsRead(Lib3dsQuatTrack& track, Agreement& a) {
    std::vector<float> theirs;
    for (Lib3dsQuatKey* k = track.keyL; k; k = k->next)
        for (int i = 0; i < 4; ++i)
            theirs.insert(theirs.end(), {k->q[i], k->dd[i], k->ds[i]});
    korvid::setUpRotationTrack(track);
    size_t at = 0;
    for (Lib3dsQuatKey* k = track.keyL; k; k = k->next, ++a.keys)
        for (int i = 0; i < 4; ++i)
            for (float ours : {k->q[i], k->dd[i], k->ds[i]}) {
                const int32_t d = std::abs(ordinal(ours) - ordinal(theirs[at++]));
                a.worst = std::max(a.worst, d);
                a.exact += d == 0;
                ++a.values;
            }
    ++a.tracks;
}

void compareBelow(Lib3dsNode* node, Agreement& a) {
    for (; node; node = node->next) {
        if (node->type == LIB3DS_OBJECT_NODE && node->data.object.rot_track.keyL)
            compareTrackAsRead(node->data.object.rot_track, a);
        compareBelow(node->childs, a);
    }
}

// Compares lib3ds's set-up of the track with ours, then frees it.
void compareTrack(Lib3dsQuatTrack& track, Agreement& a) {
    lib3ds_quat_track_setup(&track);
    compareTrackAsRead(track, a);
    lib3ds_quat_track_free_keys(&track);
}

TEST(RotationKeys, AgreeWithLib3dsOnTensionContinuityBiasAndLoops) {
    // Random tracks of 2 to 6 keys: turns of up to 1.5 full turns (so some are over one),
    // tension, continuity and bias from -1 to 1, uneven frames, looping or not.
    std::mt19937 g(5);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f), turn(0.0f, 9.5f);
    Agreement a;
    for (int t = 0; t < 300; ++t) {
        Lib3dsQuatTrack track{};
        track.flags = t % 2 ? LIB3DS_SMOOTH : 0;
        int frame = 0;
        for (int k = 0, n = 2 + t % 5; k < n; ++k) {
            Lib3dsQuatKey* key = lib3ds_quat_key_new();
            frame += 1 + int(g() % 20);
            key->tcb.frame = frame;
            key->tcb.tens = unit(g), key->tcb.cont = unit(g), key->tcb.bias = unit(g);
            key->angle = turn(g);
            key->axis[0] = unit(g), key->axis[1] = unit(g), key->axis[2] = unit(g);
            lib3ds_quat_track_insert(&track, key);
        }
        compareTrack(track, a);
    }
    EXPECT_LE(a.worst, 2);
    EXPECT_GE(a.exact, a.values - a.values / 100);
}

TEST(RotationKeys, AgreeWithLib3dsOnTheReferenceAndShowScenes) {
    Agreement a;
    for (const std::string folder : {KORVID_TEST_DATA "/3ds", KORVID_BINARY_DIR "/data/3ds"})
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".3ds" && extension != ".3DS")
                continue;
            Lib3dsFile* file = lib3ds_file_load(entry.path().c_str());
            ASSERT_NE(file, nullptr) << entry.path();
            compareBelow(file->nodes, a);
            lib3ds_file_free(file);
        }
    EXPECT_GT(a.tracks, 20u);
    EXPECT_LE(a.worst, 2);
    EXPECT_GE(a.exact, a.values - a.values / 100);
}

} // namespace
