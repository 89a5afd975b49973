// The relief picture of a real map and the 8-bit palette it is drawn with.
// The relief is lit from the north-west, 45 degrees above the horizon, and
// computed on the heights in metres; its colour runs from green lowland over
// tan and brown to pale summits across the map's own height range. Walls
// (no data) are one flat violet. At 15 to 32 bits every pixel gets its colour
// made exactly; at 8 bits the relief palette (reliefPalette) holds a ramp of
// tints times shades and the picture uses its entries directly.
#pragma once

#include <allegro.h>

class RealTerrain;

// The flat colour of walls, as (red, green, blue).
inline constexpr int reliefWallRed = 120;
inline constexpr int reliefWallGreen = 60;
inline constexpr int reliefWallBlue = 170;

class ReliefColours {
public:
    // Steps of the 8-bit ramp: height tints and shades per tint.
    static constexpr int tintSteps = 10;
    static constexpr int shadeSteps = 14;
    // The first palette entry of the ramp and the wall's entry.
    static constexpr int firstRampEntry = 104;
    static constexpr int wallEntry = firstRampEntry + tintSteps * shadeSteps;

    // Colours for a bitmap of this colour depth.
    explicit ReliefColours(int depth) : depth_(depth) {}

    // The pixel of ground at relative height `height` (0 the lowest of the
    // map, 1 the highest) lit by `light` (the cosine between the ground's
    // normal and the light, 0 to 1).
    int ground(double height, double light) const;
    int wall() const;

    // The colour of ground as (red, green, blue) before it becomes a pixel.
    static RGB groundRgb(double height, double light);

private:
    int depth_;
};

// The palette of an 8-bit screen showing a relief: the standard palette's
// first entries (the framework's colours and those of the other views find
// theirs there), then the relief ramp and the wall colour; the last entries,
// spare blacks in the standard palette, take the dark blues the ramp
// displaced, which the skin's blue texts need.
void reliefPalette(PALETTE palette);

// Draws the relief of `terrain` into `bitmap` at the terrain's scale (sample
// i at pixel scale i, heights between samples interpolated), from (0, 0) over
// the terrain's picture side.
void drawRelief(BITMAP* bitmap, const RealTerrain& terrain);
