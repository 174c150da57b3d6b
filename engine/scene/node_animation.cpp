// Per-kind evaluation of the keyframe tracks, world matrices and update dependencies.
#include "engine/scene/node.hpp"

namespace korvid {

namespace {

void addParent(const Node& node, std::vector<Node*>& list) {
    if (node.parent) list.push_back(node.parent);
}

// A targeted camera or spotlight looks from its position along the line to its target;
// with an unresolved target its matrix stays as it was.
void lookAtTarget(Node& node, const Vector& position, const NodeRef& target, float roll) {
    if (!target.node) return;
    const Matrix placed = node.parent->world * Matrix::translation(position);
    const Vector direction = target.node->world.getTranslation() - placed.getTranslation();
    node.world = placed * Matrix::lookAlong(direction, roll);
}

} // namespace

void TargetNode::evaluate(float frame) {
    positionTrack.evaluate(frame, position);
}

void TargetNode::updateWorld() {
    if (parent) world = parent->world * Matrix::translation(position);
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
    if (parent) world = parent->world * Matrix::translation(position);
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
    if (!parent) return;
    if (ownRotation)
        world = parent->world * Matrix::translation(position) * Matrix::rotation(rotation);
    else
        lookAtTarget(*this, position, target, roll);
}

void SpotLightNode::collectDependencies(std::vector<Node*>& list) {
    addParent(*this, list);
    if (!ownRotation && target.node) list.push_back(target.node);
}

void CameraNode::evaluate(float frame) {
    fovTrack.evaluate(frame, fov);
    rollTrack.evaluate(frame, roll);
    positionTrack.evaluate(frame, position);
    rotationTrack.evaluate(frame, rotation);
}

void CameraNode::updateWorld() {
    if (!parent) return;
    if (ownRotation)
        world = parent->world * Matrix::translation(position) * Matrix::rotation(rotation);
    else
        lookAtTarget(*this, position, target, roll);
}

void CameraNode::collectDependencies(std::vector<Node*>& list) {
    addParent(*this, list);
    if (!ownRotation && target.node) list.push_back(target.node);
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
    if (!parent) return;
    world = parent->world * Matrix::translation(position) * Matrix::rotation(rotation) *
            Matrix::scaling(scale) * Matrix::translation(Vector{-pivot.x, -pivot.y, -pivot.z});
}

void ContainerNode::collectDependencies(std::vector<Node*>& list) {
    addParent(*this, list);
}

} // namespace korvid
