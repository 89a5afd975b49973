// Colours of the framework: the pixel value type, colour texts as settings
// and skin files write them (read in gui/Skin.cpp), and making colours.
#pragma once

#include <string_view>

// A pixel value of the current graphics mode, made from red, green and blue
// with Allegro's makecol. -1 means "no colour": transparent, no shadow, no
// background. Pixel values depend on the mode, so colours are recomputed after
// every mode change (the skin is reloaded then).
using Color = int;

inline constexpr Color NO_COLOR = -1;

// Red, green and blue components as written in a settings or skin file.
struct ColorRgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool none = false;  // written as "-1": no colour

    friend bool operator==(const ColorRgb&, const ColorRgb&) = default;
};

// Parses a colour text: up to three integers separated by commas, spaces or
// semicolons (tabs count as spaces); missing components are 0, components are
// clamped to 0..255; text after the third number is ignored. A first number
// of -1 means no colour. Never fails: text that holds no number is black.
ColorRgb parseColorText(std::string_view text);

// makecol on the components for the current colour depth (NO_COLOR for none).
Color makeColor(const ColorRgb& rgb);
Color makeColor(int r, int g, int b);

// parseColorText followed by makeColor.
Color colorFromText(std::string_view text);
