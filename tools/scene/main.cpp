// korvid-scene FILE.3ds [--frame F]: imports a 3DS file as the engine does, after the
// tools' completion (tools/common/file_completion.hpp), links it and prints its node tree,
// meshes and material groups, one fact a line; with --frame, also the world position of
// every node at that frame.
#include "engine/core/engine.hpp"
#include "engine/link/link.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/scene.hpp"
#include "tools/common/file_completion.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

using namespace korvid;

namespace {

const char* kindName(NodeType type) {
    switch (type) {
    case nodeRoot:
        return "root";
    case nodeCamera:
        return "camera";
    case nodeOmniLight:
        return "omni";
    case nodeSpotLight:
        return "spot";
    case nodeMesh:
        return "mesh";
    case nodeTarget:
        return "target";
    default:
        return "container";
    }
}

void printMesh(const Mesh& mesh) {
    size_t hard = 0;
    for (const Edge& e : mesh.edges)
        hard += e.hard;
    std::printf("mesh %s vertices=%zu normals=%zu groups=%zu edges=%zu hard=%zu "
                "bounds=%g,%g,%g:%g,%g,%g\n",
                mesh.name.c_str(), mesh.vertices.size(), mesh.normals.size(), mesh.groups.size(),
                mesh.edges.size(), hard, mesh.boundsMin.x, mesh.boundsMin.y, mesh.boundsMin.z,
                mesh.boundsMax.x, mesh.boundsMax.y, mesh.boundsMax.z);
    for (size_t g = 0; g < mesh.groups.size(); ++g) {
        const MeshGroup& group = mesh.groups[g];
        std::printf("group %s %zu %s triangles=%zu corners=%zu\n", mesh.name.c_str(), g,
                    group.material.name.c_str(), group.triangles.size(), group.corners.size());
    }
}

std::string childPath(const std::string& parent, const std::string& name) {
    return parent == "/" ? "/" + name : parent + "/" + name;
}

// Depth first, children by name; a mesh is described after the first node that places it.
void printTree(Node& node, const std::string& path, std::set<const Mesh*>& shown) {
    std::printf("node %s %s\n", path.c_str(), kindName(node.type));
    if (node.type == nodeMesh) {
        const Mesh* mesh = static_cast<const Mesh*>(static_cast<MeshNode&>(node).mesh.resolved);
        if (mesh && shown.insert(mesh).second)
            printMesh(*mesh);
    }
    for (auto& [name, child] : node.children)
        printTree(*child, childPath(path, name), shown);
}

void printWorlds(Node& node, const std::string& path) {
    const Vector t = node.world.getTranslation();
    std::printf("world %s %g %g %g\n", path.c_str(), t.x, t.y, t.z);
    for (auto& [name, child] : node.children)
        printWorlds(*child, childPath(path, name));
}

int usage() {
    std::fprintf(stderr, "usage: korvid-scene FILE.3ds [--frame F]\n");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4)
        return usage();
    bool atFrame = false;
    float frame = 0.0f;
    if (argc == 4) {
        if (std::strcmp(argv[2], "--frame") != 0)
            return usage();
        char* end;
        frame = std::strtof(argv[3], &end);
        if (end == argv[3] || *end)
            return usage();
        atFrame = true;
    }
    Engine engine;
    Lib3dsFilePtr file;
    if (Error e = tools::importCompleted(engine, "scene", argv[1], file)) {
        std::fprintf(stderr, "%s\n", errorMessages[e]);
        return 1;
    }
    linkResources(engine);
    Scene& scene = *engine.find<Scene>(kindScene, "scene");
    std::printf("scene frames=%g\n", scene.frames);
    std::set<const Mesh*> shown;
    printTree(scene.root, "/", shown);
    if (atFrame) {
        scene.setTime(frame);
        scene.updateWorlds(nullptr);
        printWorlds(scene.root, "/");
    }
    return 0;
}
