// Hill shading of a real map: heights interpolated to the picture's pixels,
// Horn's gradient, a light from the north-west, and the colour ramp.
#include "app/Relief.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <numbers>
#include <vector>

#include "app/RealTerrain.h"

namespace {

// The height tints from the lowest to the highest ground of a map.
struct Stop {
    double at;
    double red, green, blue;
};
constexpr std::array<Stop, 5> ramp{{
    {0.00, 86, 140, 70},
    {0.30, 160, 180, 100},
    {0.55, 205, 180, 120},
    {0.80, 170, 130, 90},
    {1.00, 240, 235, 230},
}};

// How bright lit ground is: shade in the lee, about its own tint on flat
// ground (lit at 45 degrees), brighter on slopes facing the light.
constexpr double darkest = 0.30;
constexpr double lightGain = 0.85;

// The light: from the north-west (azimuth 315 degrees), 45 degrees high.
// East is +x, north is -y (row 0 is the north edge), up is +z.
constexpr double lightAltitude = std::numbers::pi / 4;
const double lightHorizontal = std::cos(lightAltitude) / std::numbers::sqrt2;
const double lightX = -lightHorizontal;  // towards the west
const double lightNorth = lightHorizontal;
const double lightZ = std::sin(lightAltitude);

// The standard palette repeats black in its entries 248 to 254.
constexpr int firstSpareBlack = 248;
static_assert(ReliefColours::wallEntry < firstSpareBlack, "the ramp runs into the spare blacks");

int channel(double value) { return std::clamp(static_cast<int>(std::lround(value)), 0, 255); }

// Heights and walls at every pixel of the picture: samples where they stand,
// linear interpolation between them. A pixel touching a wall sample is wall.
struct PixelHeights {
    int side = 0;
    std::vector<float> metres;
    std::vector<std::uint8_t> walls;

    explicit PixelHeights(const RealTerrain& terrain) : side(terrain.pictureSide())
    {
        const int s = terrain.scale();
        const std::size_t count = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
        metres.assign(count, 0.0f);
        walls.assign(count, 0);
        for (int py = 0; py < side; ++py) {
            for (int px = 0; px < side; ++px)
                fill(terrain, s, px, py);
        }
    }

    std::size_t at(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(side) + static_cast<std::size_t>(x);
    }

private:
    void fill(const RealTerrain& terrain, int s, int px, int py)
    {
        const int x0 = px / s, y0 = py / s;
        const double fx = static_cast<double>(px % s) / s, fy = static_cast<double>(py % s) / s;
        const int x1 = fx > 0 ? x0 + 1 : x0, y1 = fy > 0 ? y0 + 1 : y0;
        const std::size_t i = at(px, py);
        if (terrain.isWall(x0, y0) || terrain.isWall(x1, y0) || terrain.isWall(x0, y1) || terrain.isWall(x1, y1)) {
            walls[i] = 1;
            return;
        }
        const double top = terrain.metresAt(x0, y0) * (1 - fx) + terrain.metresAt(x1, y0) * fx;
        const double bottom = terrain.metresAt(x0, y1) * (1 - fx) + terrain.metresAt(x1, y1) * fx;
        metres[i] = static_cast<float>(top * (1 - fy) + bottom * fy);
    }
};

// The cosine between the ground's normal at pixel (x, y) and the light, by
// Horn's gradient over the eight neighbours (the pixel's own height stands in
// for neighbours off the picture or in walls).
double lightAt(const PixelHeights& h, int x, int y, double pixelMetres)
{
    const double centre = h.metres[h.at(x, y)];
    auto z = [&](int dx, int dy) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= h.side || ny >= h.side || h.walls[h.at(nx, ny)])
            return centre;
        return static_cast<double>(h.metres[h.at(nx, ny)]);
    };
    const double east = z(1, -1) + 2 * z(1, 0) + z(1, 1), west = z(-1, -1) + 2 * z(-1, 0) + z(-1, 1);
    const double south = z(-1, 1) + 2 * z(0, 1) + z(1, 1), north = z(-1, -1) + 2 * z(0, -1) + z(1, -1);
    const double dzdx = (east - west) / (8 * pixelMetres);
    const double dzdy = (south - north) / (8 * pixelMetres);
    // Normal (-dz/dx, -dz/dnorth, 1) with north = -y.
    const double nx = -dzdx, nNorth = dzdy, nz = 1.0;
    const double cosine =
        (nx * lightX + nNorth * lightNorth + nz * lightZ) / std::sqrt(nx * nx + nNorth * nNorth + nz * nz);
    return std::clamp(cosine, 0.0, 1.0);
}

} // namespace

RGB ReliefColours::groundRgb(double height, double light)
{
    height = std::clamp(height, 0.0, 1.0);
    std::size_t k = 1;
    while (k + 1 < ramp.size() && height > ramp[k].at)
        ++k;
    const Stop& a = ramp[k - 1];
    const Stop& b = ramp[k];
    const double t = (height - a.at) / (b.at - a.at);
    const double brightness = darkest + lightGain * std::clamp(light, 0.0, 1.0);
    RGB rgb;
    rgb.r = static_cast<unsigned char>(channel((a.red + (b.red - a.red) * t) * brightness));
    rgb.g = static_cast<unsigned char>(channel((a.green + (b.green - a.green) * t) * brightness));
    rgb.b = static_cast<unsigned char>(channel((a.blue + (b.blue - a.blue) * t) * brightness));
    rgb.filler = 0;
    return rgb;
}

int ReliefColours::ground(double height, double light) const
{
    if (depth_ == 8) {
        const int tint = static_cast<int>(std::lround(std::clamp(height, 0.0, 1.0) * (tintSteps - 1)));
        const int shade = static_cast<int>(std::lround(std::clamp(light, 0.0, 1.0) * (shadeSteps - 1)));
        return firstRampEntry + tint * shadeSteps + shade;
    }
    const RGB rgb = groundRgb(height, light);
    return makecol_depth(depth_, rgb.r, rgb.g, rgb.b);
}

int ReliefColours::wall() const
{
    if (depth_ == 8)
        return wallEntry;
    return makecol_depth(depth_, reliefWallRed, reliefWallGreen, reliefWallBlue);
}

void reliefPalette(PALETTE palette)
{
    for (int i = 0; i < PAL_SIZE; ++i)
        palette[i] = default_palette[i];
    // Palette entries hold 6 bits a channel.
    auto sixBits = [](RGB rgb) {
        return RGB{static_cast<unsigned char>(rgb.r >> 2), static_cast<unsigned char>(rgb.g >> 2),
                   static_cast<unsigned char>(rgb.b >> 2), 0};
    };
    for (int tint = 0; tint < ReliefColours::tintSteps; ++tint) {
        for (int shade = 0; shade < ReliefColours::shadeSteps; ++shade) {
            const RGB rgb = ReliefColours::groundRgb(static_cast<double>(tint) / (ReliefColours::tintSteps - 1),
                                                     static_cast<double>(shade) / (ReliefColours::shadeSteps - 1));
            palette[ReliefColours::firstRampEntry + tint * ReliefColours::shadeSteps + shade] = sixBits(rgb);
        }
    }
    palette[ReliefColours::wallEntry] = sixBits(RGB{reliefWallRed, reliefWallGreen, reliefWallBlue, 0});
    constexpr int darkBlues[] = {125, 126, 127, 128, 149, 150, 151};
    for (int i = 0; i < static_cast<int>(std::size(darkBlues)); ++i)
        palette[firstSpareBlack + i] = default_palette[darkBlues[i]];
}

void drawRelief(BITMAP* bitmap, const RealTerrain& terrain)
{
    if (!bitmap || !terrain.loaded())
        return;
    const PixelHeights heights(terrain);
    const ReliefColours colours(bitmap_color_depth(bitmap));
    const double pixelMetres = terrain.sidecar().spacingMetres / terrain.scale();
    const double low = terrain.lowestMetres();
    const double range = terrain.highestMetres() - low;
    const int side = std::min({heights.side, bitmap->w, bitmap->h});
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::size_t i = heights.at(x, y);
            if (heights.walls[i]) {
                putpixel(bitmap, x, y, colours.wall());
                continue;
            }
            const double height = range > 0 ? (heights.metres[i] - low) / range : 0.5;
            putpixel(bitmap, x, y, colours.ground(height, lightAt(heights, x, y, pixelMetres)));
        }
    }
}
