// The show on a data set that lacks a file or holds a wrong one: it stops at that file with
// the program's own lines, except for the swarm's sprite, without which it goes on.

#include "demo/show_support.hpp"
#include "show_data.hpp"
#include "tools/common/png_writer.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace {

const std::string sdlLine = "Korvid fucked joo: \"sdl fucked joo - check SDL_GetError()\"\n";

std::string korvidLine(const std::string& message) {
    return "Korvid fucked joo: \"" + message + "\"\n";
}

std::string cannotOpen(const std::string& file) {
    return sdlLine + "SDL hax0rz: \"Couldn't open " + file + "\"\n";
}

// Runs the show on the data set without `file` until demo time `until`.
ProgramResult showWithout(const std::string& name, const std::string& file,
                          const std::string& until = "1") {
    return runProgram(copyOfData(name, file), captureProgram, "", "--fps 10 --until " + until);
}

} // namespace

TEST(ShowData, AMissingOrWrongFileStopsTheShowAtThatFile) {
    const std::pair<const char*, std::string> missing[] = {
        {"img/slutt.png", cannotOpen("img/slutt.png")},
        {"3ds/kroll.3ds", korvidLine("file input/output error")},
        {"img2/specmap.png", cannotOpen("img2/specmap.png")},
        {"img/darkground2.gif", cannotOpen("img/darkground2.gif")},
    };
    int run = 0;
    for (const auto& [file, lines] : missing) {
        const ProgramResult r = showWithout("without-" + std::to_string(run++), file);
        EXPECT_EQ(r.status, 1) << file;
        EXPECT_EQ(r.err, lines) << file;
    }

    // A colour map that is not 256x256, a tunnel image that is not palettised (side 256,
    // true colour), a scene cut in half (side 0).
    const std::tuple<const char*, int, const char*> wrong[] = {
        {"img2/rock1b.png", 64, "illegal surface usage"},
        {"img/darkground2.gif", 256, "illegal surface usage"},
        {"3ds/boots.3ds", 0, "file format error"},
    };
    for (const auto& [file, side, message] : wrong) {
        const std::string data = copyOfData("wrong-" + std::to_string(run++));
        const std::string path = data + "/" + file;
        if (side == 0)
            std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
        else
            ASSERT_TRUE(tools::writePng(path, std::vector<uint32_t>(size_t(side * side)).data(),
                                        side, side, side, false));
        const ProgramResult r = runProgram(data, captureProgram, "", "--fps 10 --until 1");
        EXPECT_EQ(r.status, 1) << file;
        EXPECT_EQ(r.err, korvidLine(message)) << file;
    }
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
