#include "engine/scene/import.hpp"
#include "engine/core/engine.hpp"
#include "engine/scene/chunk_check.hpp"
#include "engine/scene/node_builders.hpp"
#include "engine/scene/rotation_keys.hpp"
#include "engine/scene/scene.hpp"

#include <lib3ds/file.h>
#include <lib3ds/io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// lib3ds reads the bytes that were checked, through its IO callbacks, so the file cannot
// change between the check and the read. They behave as a stdio file does: a seek may go
// past the end, a read there returns what is left, and there is never an error to report.
struct MemoryFile {
    const std::vector<uint8_t>& bytes;
    long at = 0;

    static MemoryFile& of(void* self) { return *static_cast<MemoryFile*>(self); }

    static Lib3dsBool error(void*) { return LIB3DS_FALSE; }

    static long seek(void* self, long offset, Lib3dsIoSeek origin) {
        MemoryFile& f = of(self);
        const long base = origin == LIB3DS_SEEK_SET   ? 0
                          : origin == LIB3DS_SEEK_CUR ? f.at
                                                      : long(f.bytes.size());
        if (offset < -base)
            return -1;
        f.at = base + offset;
        return 0;
    }

    static long tell(void* self) { return of(self).at; }

    static size_t read(void* self, void* buffer, size_t size) {
        MemoryFile& f = of(self);
        const size_t left = size_t(f.at) < f.bytes.size() ? f.bytes.size() - size_t(f.at) : 0;
        const size_t n = std::min(size, left);
        if (n)
            std::memcpy(buffer, f.bytes.data() + f.at, n);
        f.at += long(n);
        return n;
    }

    static size_t write(void*, const void*, size_t) { return 0; }
};

Lib3dsFile* readFromMemory(const std::vector<uint8_t>& bytes) {
    MemoryFile source{bytes};
    Lib3dsIo* io = lib3ds_io_new(&source, MemoryFile::error, MemoryFile::seek, MemoryFile::tell,
                                 MemoryFile::read, MemoryFile::write);
    Lib3dsFile* file = io ? lib3ds_file_new() : nullptr;
    if (file && !lib3ds_file_read(file, io)) {
        lib3ds_file_free(file);
        file = nullptr;
    }
    if (io)
        lib3ds_io_free(io);
    return file;
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
        switch (checkChunks(bytes.data(), bytes.size())) {
        case ChunkCheck::refused:
            return errFileIO;
        case ChunkCheck::unsafe:
            return errFileFormat;
        case ChunkCheck::readable:
            break;
        }
        file.reset(readFromMemory(bytes));
        return file ? errNone : errFileIO;
    } catch (const std::bad_alloc&) {
        return errMemory;
    }
}

Error importLoaded(Engine& engine, const std::string& name, Lib3dsFile& file) {
    try {
        setUpRotationTracks(file);
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
