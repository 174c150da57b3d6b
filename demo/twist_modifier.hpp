#pragma once
// Twists a mesh about a vertical axis: every position and normal turns about z by an
// angle that waves along the height, so a figure wrings itself like a towel.

#include "engine/render/vertex_modifier.hpp"

#include <array>
#include <cstdint>

class TwistModifier : public korvid::VertexModifier {
public:
    korvid::Vector deformPosition(const korvid::Vector& p) override;
    korvid::Vector deformNormal(const korvid::Vector& n, const korvid::RenderVertex& vertex,
                                const korvid::Vector& positionBefore) override;

    float phase = 0.0f;
    float amount = 0.0f;
    korvid::Vector centre; // the axis passes through (centre.x, centre.y); z is not used

private:
    // The turn at height z.
    double angleAt(float z);

    // The turns already worked out for this phase and amount, by the bits of z: a render
    // asks again for the height of every vertex when it turns the vertex's normals, and
    // for every vertex of a ring of equal height. Two ways a set, the newer first, so that
    // the few thousand heights of a figure mostly outlast its vertex pass; a height pushed
    // out only means working its angle out again.
    struct KnownAngle {
        uint32_t zBits = 0;
        uint32_t generation = 0; // 0: never filled
        double angle = 0.0;
    };
    std::array<std::array<KnownAngle, 2>, 2048> known;
    uint32_t generation = 1;
    float knownPhase = 0.0f, knownAmount = 0.0f;
};
