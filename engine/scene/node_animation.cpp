// Per-kind evaluation of the keyframe tracks, world matrices and update dependencies.
#include "engine/scene/node.hpp"

namespace korvid {

namespace {

void addParent(const Node& node, std::vector<Node*>& list) {
    if (node.parent)
        list.push_back(node.parent);
}

// Cameras and spotlights: turned by their own rotation, or looking from their position
// along the line to their target; with an unresolved target the matrix stays as it was.
template <class Aimed>
void aimedWorld(Aimed& node) {
    if (!node.parent)
        return;
    const Matrix placed = node.parent->world * Matrix::translation(node.position);
    if (node.ownRotation) {
        node.world = placed * Matrix::rotation(node.rotation);
    } else if (node.target.node) {
        const Vector eye = placed.getTranslation();
        const Vector direction = node.target.node->world.getTranslation() - eye;
        node.world = placed * Matrix::lookAlong(direction, node.roll);
    }
}

template <class Aimed>
void aimedDependencies(Aimed& node, std::vector<Node*>& list) {
    addParent(node, list);
    if (!node.ownRotation && node.target.node)
        list.push_back(node.target.node);
}

} // namespace

void TargetNode::evaluate(float frame) {
    positionTrack.evaluate(frame, position);
}

void TargetNode::updateWorld() {
    if (parent)
        world = parent->world * Matrix::translation(position);
}

void TargetNode::collectDependencies(std::vector<Node*>& list) {
    addParent(*this, list);
}

void OmniLightNode::evaluate(float frame) {
    offTrack.evaluate(frame, off);
    if (!off) {
        multiplierTrack.evaluate(frame, multiplier);
        colourTrack.evaluate(frame, colour);
    }
    positionTrack.evaluate(frame, position);
}

void OmniLightNode::updateWorld() {
    if (parent)
        world = parent->world * Matrix::translation(position);
}

void OmniLightNode::collectDependencies(std::vector<Node*>& list) {
    addParent(*this, list);
}

void SpotLightNode::evaluate(float frame) {
    offTrack.evaluate(frame, off);
    if (!off) {
        rollTrack.evaluate(frame, roll);
        hotspotTrack.evaluate(frame, hotspot);
        falloffTrack.evaluate(frame, falloff);
        multiplierTrack.evaluate(frame, multiplier);
        colourTrack.evaluate(frame, colour);
    }
    positionTrack.evaluate(frame, position);
}

void SpotLightNode::updateWorld() {
    aimedWorld(*this);
}

void SpotLightNode::collectDependencies(std::vector<Node*>& list) {
    aimedDependencies(*this, list);
}

void CameraNode::evaluate(float frame) {
    fovTrack.evaluate(frame, fov);
    rollTrack.evaluate(frame, roll);
    positionTrack.evaluate(frame, position);
    rotationTrack.evaluate(frame, rotation);
}

void CameraNode::updateWorld() {
    aimedWorld(*this);
}

void CameraNode::collectDependencies(std::vector<Node*>& list) {
    aimedDependencies(*this, list);
}

void ContainerNode::evaluate(float frame) {
    flagTrack.evaluate(frame, flag);
    positionTrack.evaluate(frame, position);
    rotationTrack.evaluate(frame, rotation);
    scaleTrack.evaluate(frame, scale);
}

// The pivot is the point of the object that sits at `position`; rotation and scale turn
// about it.
void ContainerNode::updateWorld() {
    if (!parent)
        return;
    world = parent->world * Matrix::translation(position) * Matrix::rotation(rotation) *
            Matrix::scaling(scale) * Matrix::translation(Vector{-pivot.x, -pivot.y, -pivot.z});
}

void ContainerNode::collectDependencies(std::vector<Node*>& list) {
    addParent(*this, list);
}

} // namespace korvid
