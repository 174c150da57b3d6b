#pragma once
// The base of the demo's 2D drawables: a ready flag, the size of the area the drawable
// works in, and a clip rectangle in destination pixels.

#include <cstdint>

// For sprites right and bottom are exclusive edges; the plasma and the ring field read
// the same two fields as the width and height of their drawing area. The constructors'
// (0, 0, width, height) means the whole area either way.
struct Clip2D {
    int16_t left = 0;
    int16_t top = 0;
    uint16_t right = 0;
    uint16_t bottom = 0;
};

class Drawable2D {
public:
    Drawable2D(int32_t width, int32_t height)
        : width(width), height(height), clip{0, 0, uint16_t(width), uint16_t(height)} {}

    virtual void setClip(const Clip2D& rect) { clip = rect; }
    virtual int32_t getWidth() { return width; }
    virtual int32_t getHeight() { return height; }
    virtual uint32_t isReady() { return ready; }

    uint32_t ready = 0; // nothing is drawn while 0
    int32_t width;
    int32_t height;
    Clip2D clip;

protected:
    // Owners destroy the concrete class, never through the base.
    ~Drawable2D() = default;
    Drawable2D(const Drawable2D&) = default;
    Drawable2D& operator=(const Drawable2D&) = default;
};
