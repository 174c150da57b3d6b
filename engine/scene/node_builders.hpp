#pragma once
// One engine node per lib3ds keyframer node: the builders look up the camera, light and
// mesh records the node names in the open file and convert its tracks.

#include "engine/core/errors.hpp"
#include "engine/scene/node.hpp"

#include <lib3ds/node.h>

#include <memory>
#include <string>

struct Lib3dsFile;

namespace korvid {

class Engine;

struct ImportContext {
    Engine& engine;
    Lib3dsFile* file;
};

// The node and the name it gets before the unique-name step; 1 for node kinds the engine
// has no node for (ambient, unknown), 7 when the file lacks the named record.
Error buildNode(ImportContext& context, Lib3dsNode& from, std::unique_ptr<Node>& node,
                std::string& name);

// `name` itself when the parent has no child of that name, else the first free "name.i".
std::string uniqueChildName(const std::string& name, const Node& parent);

} // namespace korvid
