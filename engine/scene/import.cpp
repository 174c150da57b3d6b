#include "engine/scene/import.hpp"
#include "engine/core/engine.hpp"
#include "engine/scene/chunk_check.hpp"
#include "engine/scene/node_builders.hpp"
#include "engine/scene/scene.hpp"

#include <lib3ds/file.h>

#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace korvid {

namespace {

// The whole file, or false when it cannot be opened or read or is empty.
bool readFile(const std::string& fileName, std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f)
        return false;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    return !failed && !bytes.empty();
}

// The lib3ds node after `node` in a depth-first walk, parents before children.
Lib3dsNode* nextInWalk(Lib3dsNode* node) {
    if (node->childs)
        return node->childs;
    while (node && !node->next)
        node = node->parent;
    return node ? node->next : nullptr;
}

Error buildNodes(ImportContext& context, Scene& scene) {
    for (Lib3dsNode* from = context.file->nodes; from; from = nextInWalk(from)) {
        Node* parent = from->parent ? static_cast<Node*>(from->parent->user.p) : &scene.root;
        std::unique_ptr<Node> node;
        std::string name;
        if (Error e = buildNode(context, *from, node, name))
            return e;
        if (Error e = attach(parent, node.get(), uniqueChildName(name, *parent)))
            return e;
        from->user.p = node.release();
    }
    return errNone;
}

} // namespace

void Lib3dsFileRelease::operator()(Lib3dsFile* file) const {
    lib3ds_file_free(file);
}

Error read3dsFile(const std::string& fileName, Lib3dsFilePtr& file) {
    try {
        std::vector<uint8_t> bytes;
        if (!readFile(fileName, bytes))
            return errFileIO;
        if (!checkChunks(bytes.data(), bytes.size()))
            return errFileFormat;
        file.reset(lib3ds_file_load(fileName.c_str()));
        return file ? errNone : errFileIO;
    } catch (const std::bad_alloc&) {
        return errMemory;
    }
}

Error importLoaded(Engine& engine, const std::string& name, Lib3dsFile& file) {
    try {
        lib3ds_file_eval(&file, 0.0f);
        if (engine.findResource(kindScene, name))
            return errNameInUse;
        auto scene = std::make_unique<Scene>();
        if (Error e = engine.addResource(scene.get(), name))
            return e;
        Scene& registered = *scene.release();
        registered.frame = 0.0f;
        registered.frames = float(file.frames);
        ImportContext context{engine, &file};
        return buildNodes(context, registered);
    } catch (const std::bad_alloc&) {
        return errMemory;
    }
}

Error importScene(Engine& engine, const std::string& name, const std::string& fileName) {
    Lib3dsFilePtr file;
    if (Error e = read3dsFile(fileName, file))
        return e;
    return importLoaded(engine, name, *file);
}

} // namespace korvid
