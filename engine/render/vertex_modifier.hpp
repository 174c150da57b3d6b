#pragma once
// A deformation that a mesh or container node applies to the world positions and normals of
// every mesh below it at render time.

#include "engine/math/math.hpp"

namespace korvid {

struct RenderVertex;

class VertexModifier {
public:
    virtual ~VertexModifier() = default;
    virtual Vector deformPosition(const Vector& worldPosition) = 0;
    // `positionBefore` is the vertex's world position before this modifier moved it.
    virtual Vector deformNormal(const Vector& worldNormal, const RenderVertex& vertex,
                                const Vector& positionBefore) = 0;
};

} // namespace korvid
