#pragma once
// Twists a mesh about a vertical axis: every position and normal turns about z by an
// angle that waves along the height, so a figure wrings itself like a towel.

#include "engine/render/vertex_modifier.hpp"

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
    double angleAt(float z) const;
};
