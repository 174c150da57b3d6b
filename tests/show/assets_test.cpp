// The show on a data set that lacks a file or holds a wrong one: it stops at that file with
// the program's own lines, except for the swarm's sprite, without which it goes on.

#include "demo/assets.hpp"
#include "demo/show_support.hpp"
#include "show_data.hpp"
#include "tools/common/png_writer.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

const std::string sdlLine = "Korvid fucked joo: \"sdl fucked joo - check SDL_GetError()\"\n";

std::string korvidLine(const std::string& message) {
    return "Korvid fucked joo: \"" + message + "\"\n";
}

// Runs the show on the data set without `file` until demo time `until`.
ProgramResult showWithout(const std::string& name, const std::string& file,
                          const std::string& until = "1") {
    return runProgram(copyOfData(name, file), captureProgram, "", "--fps 10 --until " + until);
}

} // namespace

TEST(ShowData, AMissingFileStopsTheShowAtThatFile) {
    ProgramResult r = showWithout("no-image", "img/slutt.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, sdlLine + "SDL hax0rz: \"Couldn't open img/slutt.png\"\n");

    r = showWithout("no-scene", "3ds/kroll.3ds");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, korvidLine("file input/output error"));

    r = showWithout("no-effect-image", "img2/specmap.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, sdlLine + "SDL hax0rz: \"Couldn't open img2/specmap.png\"\n");

    r = showWithout("no-tunnel-image", "img/darkground2.gif");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, sdlLine + "SDL hax0rz: \"Couldn't open img/darkground2.gif\"\n");

    r = showWithout("no-music", musicPath);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "BASS fucked joo: \"Can't play the mp3! It should be at music/tune3.mp3\"\n"
                     "code: 2\n");
}

TEST(ShowData, WrongEffectImagesAreRefused) {
    // A colour map that is not 256x256, and a tunnel image that is not palettised.
    std::string data = copyOfData("small-twister-map");
    ASSERT_TRUE(tools::writePng(data + "/img2/rock1b.png", std::vector<uint32_t>(64 * 64).data(),
                                64, 64, 64, false));
    ProgramResult r = runProgram(data, captureProgram, "", "--fps 10 --until 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, korvidLine("illegal surface usage"));

    data = copyOfData("true-colour-tunnel");
    ASSERT_TRUE(tools::writePng(data + "/img/darkground2.gif",
                                std::vector<uint32_t>(256 * 256, 0xFF336699).data(), 256, 256, 256,
                                false));
    r = runProgram(data, captureProgram, "", "--fps 10 --until 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, korvidLine("illegal surface usage"));
}

TEST(ShowData, DamagedSceneIsAFormatError) {
    const std::string data = copyOfData("damaged-scene");
    const std::string path = data + "/3ds/boots.3ds";
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size / 2);
    const ProgramResult r = runProgram(data, captureProgram, "", "--fps 10 --until 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, korvidLine("file format error"));
}

TEST(ShowData, TheSwarmsSpriteIsNotNeeded) {
    // Through the end image, where the swarm draws, to the end of the show.
    const ProgramResult r = showWithout("no-swarm", "img/ildflue_liten.pcx", "100000");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST(ShowData, TheTwistedFigureMayBeAMeshOrAContainer) {
    // The figure's twist sits on whichever of the two kinds the data set gives "/tovik";
    // any other kind, or no node at all, stops the show with the engine's message.
    using namespace korvid;
    for (Node* figure : std::initializer_list<Node*>{new ContainerNode, new MeshNode}) {
        Scene scene;
        ASSERT_EQ(attach(&scene.root, figure, "tovik"), errNone);
        EXPECT_EQ(show_container(&scene, "/tovik", errMeshNodeNotFound), figure);
    }
    const std::string message = "Korvid fucked joo: \"meshnode not found in scene\"";
    Scene scene;
    EXPECT_EXIT(show_container(&scene, "/tovik", errMeshNodeNotFound), ::testing::ExitedWithCode(1),
                message);
    ASSERT_EQ(attach(&scene.root, new CameraNode, "tovik"), errNone);
    EXPECT_EXIT(show_container(&scene, "/tovik", errMeshNodeNotFound), ::testing::ExitedWithCode(1),
                message);
}
