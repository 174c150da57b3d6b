#include "engine/core/engine.hpp"
#include "engine/link/link.hpp"
#include "engine/scene/import.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/scene.hpp"
#include "run_program.hpp"
#include "tests/scene/chunk_builder.hpp"

#include <gtest/gtest.h>
#include <lib3ds/chunk.h>
#include <lib3ds/file.h>
#include <lib3ds/matrix.h>
#include <lib3ds/node.h>
#include <lib3ds/tracks.h>

#include <dirent.h>
#include <filesystem>
#include <unistd.h>

using namespace korvid;
using namespace korvid::testing;

namespace {

const std::string referenceDir = KORVID_TEST_DATA "/3ds/";

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "korvid-scene-test-" + std::to_string(getpid()) + "-" + name +
           ".3ds";
}

Bytes track(uint16_t id, std::initializer_list<std::pair<int32_t, Bytes>> keys, int64_t count = -1,
            uint16_t flags = 0) {
    Bytes body = cat({u16(flags), u32(0), u32(0), u32(count < 0 ? uint32_t(keys.size()) : count)});
    for (const auto& [frame, value] : keys)
        body = cat({body, u32(uint32_t(frame)), u16(0), value});
    return chunk(id, {body});
}

Bytes vec(float x, float y, float z) {
    return cat({f32(x), f32(y), f32(z)});
}

Bytes node(uint16_t tag, uint16_t id, const std::string& name, uint16_t parent,
           std::initializer_list<Bytes> more = {}) {
    return chunk(tag,
                 {chunk(LIB3DS_NODE_ID, {u16(id)}),
                  chunk(LIB3DS_NODE_HDR, {str(name), u16(0), u16(0), u16(parent)}), cat(more)});
}

Bytes triangleMesh(const std::string& name, uint16_t faceIndex = 2, uint16_t groupIndex = 0) {
    return chunk(
        LIB3DS_NAMED_OBJECT,
        {str(name),
         chunk(LIB3DS_N_TRI_OBJECT,
               {chunk(LIB3DS_POINT_ARRAY, {u16(3), vec(0, 0, 0), vec(1, 0, 0), vec(0, 1, 0)}),
                chunk(LIB3DS_FACE_ARRAY,
                      {u16(1), u16(0), u16(1), u16(faceIndex), u16(7),
                       chunk(LIB3DS_MSH_MAT_GROUP, {str("grey"), u16(1), u16(groupIndex)}),
                       chunk(LIB3DS_SMOOTH_GROUP, {u32(1)})})})});
}

Bytes spotlight(const std::string& name) {
    return chunk(
        LIB3DS_NAMED_OBJECT,
        {str(name), chunk(LIB3DS_N_DIRECT_LIGHT,
                          {vec(0, 0, 10), chunk(LIB3DS_COLOR_F, {vec(1, 0.5f, 0)}),
                           chunk(LIB3DS_DL_MULTIPLIER, {f32(2)}),
                           chunk(LIB3DS_DL_SPOTLIGHT, {vec(0, 0, 0), f32(30), f32(45),
                                                       chunk(LIB3DS_DL_SPOT_OVERSHOOT, {})})})});
}

Bytes file(std::initializer_list<Bytes> objects, std::initializer_list<Bytes> nodes) {
    return chunk(
        LIB3DS_M3DMAGIC,
        {chunk(LIB3DS_M3D_VERSION, {u32(3)}), chunk(LIB3DS_MDATA, {cat(objects)}),
         chunk(LIB3DS_KFDATA, {chunk(LIB3DS_KFHDR, {u16(5), str("test"), u32(40)}), cat(nodes)})});
}

// A scene of instances, dummies, a spotlight with its target and a mesh below a dummy.
Bytes richFile() {
    const Bytes position = track(LIB3DS_POS_TRACK_TAG, {{0, vec(1, 2, 3)}, {20, vec(4, 5, 6)}});
    return file({triangleMesh("RedBox01"), spotlight("Spot01")},
                {node(LIB3DS_OBJECT_NODE_TAG, 0, "RedBox01", 65535, {position}),
                 node(LIB3DS_OBJECT_NODE_TAG, 1, "RedBox01", 65535),
                 node(LIB3DS_OBJECT_NODE_TAG, 2, "RedBox01", 65535),
                 node(LIB3DS_OBJECT_NODE_TAG, 3, "$$$DUMMY", 65535),
                 node(LIB3DS_OBJECT_NODE_TAG, 4, "$$$DUMMY", 65535),
                 node(LIB3DS_OBJECT_NODE_TAG, 5, "RedBox01", 4),
                 node(LIB3DS_LIGHT_NODE_TAG, 6, "Spot01", 65535,
                      {track(LIB3DS_COL_TRACK_TAG, {{0, vec(1, 0.5f, 0)}, {9, vec(0, 1, 1)}}),
                       track(LIB3DS_ROLL_TRACK_TAG, {{0, f32(90)}})}),
                 node(LIB3DS_L_TARGET_NODE_TAG, 7, "Spot01", 65535)});
}

Error importBytes(Engine& engine, const std::string& scene, const Bytes& bytes) {
    const std::string path = tempPath(scene);
    writeFile(path, bytes);
    const Error e = importScene(engine, scene, path);
    unlink(path.c_str());
    return e;
}

NodeType kindAt(Scene& scene, const std::string& path) {
    Node* node = scene.root.find(path);
    return node ? node->type : 0;
}

} // namespace

TEST(Import, ReferenceFiles) {
    Engine engine;
    ASSERT_EQ(importScene(engine, "target", referenceDir + "TargetCameraAnim.3ds"), errNone);
    ASSERT_EQ(importScene(engine, "child", referenceDir + "CameraRollAnimWithChildObject.3ds"),
              errNone);
    ASSERT_EQ(importScene(engine, "boxes", referenceDir + "test1.3ds"), errNone);
    ASSERT_EQ(importScene(engine, "empty", referenceDir + "fels.3ds"), errNone);
    ASSERT_EQ(importScene(engine, "alpha", referenceDir + "cubes_with_alpha.3DS"), errNone);
    linkResources(engine);

    Scene& target = *engine.find<Scene>(kindScene, "target");
    EXPECT_EQ(target.frames, 300.0f);
    EXPECT_EQ(kindAt(target, "/Box01"), nodeMesh);
    EXPECT_EQ(kindAt(target, "/Camera01.ctarget"), nodeTarget);
    auto* camera = static_cast<CameraNode*>(target.root.find("/Camera01"));
    ASSERT_TRUE(camera && camera->type == nodeCamera);
    EXPECT_EQ(camera->target.path, "/Camera01.ctarget");
    EXPECT_EQ(camera->target.node, target.root.find("/Camera01.ctarget"));

    Scene& child = *engine.find<Scene>(kindScene, "child");
    EXPECT_EQ(kindAt(child, "/Camera01/Box02"), nodeMesh);

    Scene& boxes = *engine.find<Scene>(kindScene, "boxes");
    EXPECT_EQ(boxes.nodesByType[nodeMesh].size(), 9u);
    auto* box = static_cast<MeshNode*>(boxes.root.find("/Box05"));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->mesh.resolved, engine.find<Mesh>(kindMesh, "Box05"));

    Scene& empty = *engine.find<Scene>(kindScene, "empty");
    EXPECT_TRUE(empty.root.children.empty());
    EXPECT_EQ(engine.find<Scene>(kindScene, "alpha")->nodesByType[nodeMesh].size(), 5u);
}

TEST(Import, NodeKindsNamesAndSharedMeshes) {
    Engine engine;
    ASSERT_EQ(importBytes(engine, "rich", richFile()), errNone);
    ASSERT_EQ(importBytes(engine, "again", richFile()), errNone);
    linkResources(engine);
    Scene& scene = *engine.find<Scene>(kindScene, "rich");
    EXPECT_EQ(scene.frames, 40.0f);
    EXPECT_EQ(kindAt(scene, "/RedBox01"), nodeMesh);
    EXPECT_EQ(kindAt(scene, "/RedBox01.0"), nodeMesh);
    EXPECT_EQ(kindAt(scene, "/RedBox01.1"), nodeMesh);
    EXPECT_EQ(kindAt(scene, "/container"), nodeContainer);
    EXPECT_EQ(kindAt(scene, "/container.0/RedBox01"), nodeMesh);
    EXPECT_EQ(kindAt(scene, "/Spot01"), nodeSpotLight);
    EXPECT_EQ(kindAt(scene, "/Spot01.starget"), nodeTarget);

    // Every instance, in both scenes, places the one mesh.
    const Mesh* mesh = engine.find<Mesh>(kindMesh, "RedBox01");
    ASSERT_TRUE(mesh);
    for (const char* name : {"rich", "again"})
        for (auto& [node, enabled] : engine.find<Scene>(kindScene, name)->nodesByType[nodeMesh])
            EXPECT_EQ(static_cast<MeshNode*>(node)->mesh.resolved, mesh);

    auto* box = static_cast<MeshNode*>(scene.root.find("/RedBox01"));
    EXPECT_EQ(box->position, (Vector{2, 1, 3})); // x and y exchanged
    ASSERT_EQ(box->positionTrack.count(), 2u);
    EXPECT_EQ(box->positionTrack.keys[1].value, (Vector{5, 4, 6}));

    auto* spot = static_cast<SpotLightNode*>(scene.root.find("/Spot01"));
    EXPECT_EQ(spot->multiplier, 2.0f);
    // Colours scale by 256, not 255, with alpha 1; one roll key leaves its track empty.
    EXPECT_EQ(spot->colour.r, 256.0f);
    EXPECT_EQ(spot->colour.g, 128.0f);
    EXPECT_EQ(spot->colour.a, 1.0f);
    ASSERT_EQ(spot->colourTrack.count(), 2u);
    EXPECT_EQ(spot->colourTrack.keys[1].frame, 9.0f);
    EXPECT_EQ(spot->colourTrack.keys[1].inTangent.a, 1.0f);
    EXPECT_EQ(spot->roll, 90.0f * 0.017453292f);
    EXPECT_EQ(spot->rollTrack.count(), 0u);
    EXPECT_TRUE(spot->overshoot);
    EXPECT_EQ(spot->target.path, "/Spot01.starget");
    EXPECT_EQ(spot->target.node, scene.root.find("/Spot01.starget"));

    // The name is taken: refused before any node is built.
    EXPECT_EQ(importBytes(engine, "rich", richFile()), errNameInUse);
}

TEST(Import, UnsupportedAndMissingRecords) {
    Engine engine;
    EXPECT_EQ(importBytes(engine, "ambient",
                          file({}, {node(LIB3DS_AMBIENT_NODE_TAG, 0, "$AMBIENT$", 65535)})),
              errInvalidCall);
    EXPECT_EQ(
        importBytes(engine, "nomesh", file({}, {node(LIB3DS_OBJECT_NODE_TAG, 0, "ghost", 65535)})),
        errFileFormat);
    EXPECT_EQ(importBytes(engine, "nocamera",
                          file({}, {node(LIB3DS_CAMERA_NODE_TAG, 0, "Camera01", 65535)})),
              errFileFormat);
    // The partial scene stays registered.
    EXPECT_TRUE(engine.find<Scene>(kindScene, "ambient"));
}

// World matrices against lib3ds's own evaluation of the file at frames on and between
// keys: lib3ds places an object node at its matrix less its pivot, and the engine's axes
// are lib3ds's with x and y exchanged. The container's pivot is 0 because the engine,
// unlike lib3ds, hands a node's pivot on to its children.
TEST(Import, WorldMatricesFollowLib3dsEvaluation) {
    auto turn = [](float angle, float x, float y, float z) {
        return cat({f32(angle), vec(x, y, z)});
    };
    const Bytes turns =
        track(LIB3DS_ROT_TRACK_TAG,
              {{0, turn(0.3f, 0, 0, 1)}, {10, turn(1.1f, 1, 2, 0.5f)}, {20, turn(0.7f, 0, 1, 0)}});
    const Bytes moves =
        track(LIB3DS_POS_TRACK_TAG, {{0, vec(1, 2, 3)}, {10, vec(4, -1, 2)}, {20, vec(0, 0, 5)}});
    const Bytes bytes =
        file({triangleMesh("m")},
             {node(LIB3DS_OBJECT_NODE_TAG, 0, "$$$DUMMY", 65535,
                   {moves, turns,
                    track(LIB3DS_SCL_TRACK_TAG, {{0, vec(1, 1, 1)}, {20, vec(2, 0.5f, 1.5f)}})}),
              node(LIB3DS_OBJECT_NODE_TAG, 1, "m", 0,
                   {chunk(LIB3DS_PIVOT, {vec(0.5f, -1, 2)}), turns,
                    track(LIB3DS_POS_TRACK_TAG, {{0, vec(0, 3, 0)}, {20, vec(1, 1, 1)}})}),
              node(LIB3DS_OBJECT_NODE_TAG, 2, "m", 65535,
                   {chunk(LIB3DS_PIVOT, {vec(1, 2, 3)}), moves, turns})});
    const std::string path = tempPath("worlds");
    writeFile(path, bytes);
    Engine engine;
    Lib3dsFilePtr file;
    ASSERT_EQ(read3dsFile(path, file), errNone);
    unlink(path.c_str());
    ASSERT_EQ(importLoaded(engine, "worlds", *file), errNone);
    Scene& scene = *engine.find<Scene>(kindScene, "worlds");

    const int exchanged[3] = {1, 0, 2};
    for (float frame : {0.0f, 4.0f, 10.0f, 13.5f}) {
        scene.setTime(frame);
        scene.updateWorlds(nullptr);
        lib3ds_file_eval(file.get(), frame);
        // Top-level nodes sorted by name: the container, its child, the other mesh node.
        Lib3dsNode* const nodes[] = {file->nodes, file->nodes->childs, file->nodes->next};
        for (Lib3dsNode* n : nodes) {
            Lib3dsMatrix placed;
            lib3ds_matrix_copy(placed, n->matrix);
            const float* pivot = n->data.object.pivot;
            lib3ds_matrix_translate_xyz(placed, -pivot[0], -pivot[1], -pivot[2]);
            // lib3ds stores column c in placed[c].
            const Matrix& world = static_cast<Node*>(n->user.p)->world;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 4; ++c)
                    EXPECT_NEAR(world.m[r][c], placed[c < 3 ? exchanged[c] : 3][exchanged[r]],
                                2e-4f)
                        << n->name << " at frame " << frame << ", row " << r << ", column " << c;
        }
    }
}

// lib3ds refuses a file (8), or would read it unsafely (7), or reads it: where the check
// lets lib3ds near the bytes, lib3ds's own load of them must agree.
TEST(Import, RefusedUnsafeAndReadableFiles) {
    Engine engine;
    EXPECT_EQ(importScene(engine, "a", "/nonexistent/file.3ds"), errFileIO);
    EXPECT_EQ(importBytes(engine, "b", {}), errFileIO);

    const Bytes good = file({triangleMesh("m")}, {node(LIB3DS_OBJECT_NODE_TAG, 0, "m", 65535)});
    // The file under another top chunk id and length, with bytes added at the end.
    auto retopped = [&](uint16_t id, size_t length, const Bytes& tail) {
        return cat({u16(id), u32(uint32_t(length)), Bytes(good.begin() + 6, good.end()), tail});
    };
    auto dummy = [](uint16_t id, uint16_t parent, std::initializer_list<Bytes> more = {}) {
        return node(LIB3DS_OBJECT_NODE_TAG, id, "$$$DUMMY", parent, more);
    };
    auto repeating = [&](int32_t first, int32_t last) {
        const Bytes v = vec(1, 2, 3);
        return file(
            {}, {dummy(0, 65535,
                       {track(LIB3DS_POS_TRACK_TAG, {{first, v}, {last, v}}, -1, LIB3DS_REPEAT)})});
    };
    Bytes deep = cat({chunk(LIB3DS_KFHDR, {u16(5), str("x"), u32(1)}),
                      dummy(0, 65535, {track(LIB3DS_POS_TRACK_TAG, {{1 << 24, vec(0, 0, 1)}})})});
    for (uint16_t level = 1; level < 1500; ++level)
        deep = cat({deep, dummy(level, level - 1)});
    const Bytes nodeHeader = chunk(LIB3DS_NODE_HDR, {str("n"), u16(0), u16(0), u16(65535)});
    // lib3ds keeps three plain gradient colours, and names in buffers of 64 bytes.
    auto gradient = [](int colours) {
        Bytes body = f32(0.5f);
        for (int i = 0; i < colours; ++i)
            body = cat({body, chunk(LIB3DS_COLOR_F, {vec(0, 0, 0)})});
        return chunk(LIB3DS_MDATA, {chunk(LIB3DS_V_GRADIENT, {body})});
    };
    auto named = [](const std::string& name) {
        return file({triangleMesh(name)}, {node(LIB3DS_OBJECT_NODE_TAG, 0, name, 65535)});
    };

    struct Case {
        const char* what;
        Bytes bytes;
        Error code;
    };
    const Case cases[] = {
        // lib3ds stops with a failure: an unknown top chunk, a length below 6 where a reader
        // of its own starts the chunk, a name that does not end within its buffer.
        {"plain text", str("not a 3ds file at all"), errFileIO},
        {"first chunk 0x1234", retopped(0x1234, good.size(), {}), errFileIO},
        {"short chunk", chunk(LIB3DS_M3DMAGIC, {chunk(LIB3DS_MDATA, {}, 5)}), errFileIO},
        {"name without end", chunk(LIB3DS_MDATA, {chunk(LIB3DS_NAMED_OBJECT, {Bytes(80, 'a')})}),
         errFileIO},
        // lib3ds would read past the end of the file or out of bounds, loop or crash.
        {"shorter than a header", {0x4d, 0x4d, 6}, errFileFormat},
        {"top past file", retopped(LIB3DS_M3DMAGIC, good.size() + 3, {}), errFileFormat},
        {"trailing letters", retopped(LIB3DS_M3DMAGIC, good.size() + 3, str("ab")), errFileFormat},
        {"past parent", chunk(LIB3DS_M3DMAGIC, {chunk(LIB3DS_MDATA, {}, 60)}), errFileFormat},
        {"zero length", chunk(LIB3DS_M3DMAGIC, {chunk(0x1234, {}, 0)}), errFileFormat},
        {"face past points", file({triangleMesh("m", 3)}, {}), errFileFormat},
        {"group past faces", file({triangleMesh("m", 2, 1)}, {}), errFileFormat},
        {"keys past file",
         file({}, {chunk(LIB3DS_TARGET_NODE_TAG,
                         {nodeHeader, track(LIB3DS_POS_TRACK_TAG, {{0, vec(0, 0, 0)}}, 5)})}),
         errFileFormat},
        {"own parent", file({}, {dummy(3, 3)}), errFileFormat},
        {"four gradient colours", gradient(4), errFileFormat},
        // Frame 0 is past both keys; wrapped back into the track it lands on the last key,
        // as -16777217 is -16777216 in float.
        {"repeat misses its keys", repeating(-16777217, 0), errFileFormat},
        // Untidy or large, but read safely.
        {"trailing zeros", retopped(LIB3DS_M3DMAGIC, good.size() + 3, Bytes(3, 0)), errNone},
        {"data past its chunk",
         chunk(LIB3DS_M3DMAGIC,
               {chunk(LIB3DS_M3D_VERSION, {}), Bytes(good.begin() + 6, good.end())}),
         errNone},
        {"parents of each other", file({}, {dummy(1, 2), dummy(2, 1)}), errNone},
        {"repeat finds its keys", repeating(5, 10), errNone},
        {"repeat wraps into its keys", repeating(-10, -5), errNone},
        {"three gradient colours", gradient(3), errNone},
        {"names filling their buffers", named(std::string(63, 'n')), errNone},
        // One byte more leaves no room for the terminator.
        {"names one byte too long", named(std::string(64, 'n')), errFileIO},
        {"deep and late", chunk(LIB3DS_M3DMAGIC, {chunk(LIB3DS_KFDATA, {deep})}), errNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(importBytes(engine, c.what, c.bytes), c.code) << c.what;
        if (c.code == errFileFormat)
            continue;
        const std::string path = tempPath("lib3ds");
        writeFile(path, c.bytes);
        Lib3dsFile* loaded = lib3ds_file_load(path.c_str());
        EXPECT_EQ(loaded != nullptr, c.code == errNone) << c.what;
        if (loaded) {
            lib3ds_file_eval(loaded, 0.0f);
            lib3ds_file_free(loaded);
        }
        unlink(path.c_str());
    }
}

// Inputs on which the import once failed; they must give an error code and nothing else.
TEST(Import, FuzzRegressions) {
    const std::string dir = KORVID_SOURCE_DIR "/tests/scene/regressions/";
    DIR* listing = opendir(dir.c_str());
    ASSERT_TRUE(listing);
    int files = 0;
    while (dirent* entry = readdir(listing)) {
        if (entry->d_name[0] == '.')
            continue;
        Engine engine;
        const Error e = importScene(engine, "fuzz", dir + entry->d_name);
        if (e == errNone)
            linkResources(engine);
        ++files;
    }
    closedir(listing);
    EXPECT_GT(files, 0);
}

TEST(Import, SceneToolPrintsTheTree) {
    const ProgramResult r =
        runProgram(testFolder("scene-tool"), KORVID_BINARY_DIR "/tools/scene/korvid-scene", "",
                   std::filesystem::absolute(referenceDir).string() +
                       "cube_with_diffuse_texture.3DS --frame 0");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find("world")),
              "scene frames=100\n"
              "node / root\n"
              "node /Quader01 mesh\n"
              "mesh Quader01 vertices=8 normals=28 groups=1 edges=18 hard=14 "
              "bounds=-25,-25,0:25,25,50\n"
              "group Quader01 0 01 - Default triangles=12 corners=28\n");
    EXPECT_NE(r.out.find("world / 0 0 0\nworld /Quader01 "), std::string::npos);
}
