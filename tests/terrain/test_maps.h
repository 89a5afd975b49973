// Helpers of the terrain and route tests: raw height map files written from
// height functions. Model walks are tests/terrain/model_helpers.h.
#pragma once

// Helpers of the terrain and route tests: raw height map files written from
// a height function into a temporary folder.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "terrain/HeightMap.h"
#include "tests/support/temp_files.h"

namespace testmaps {

using HeightFunction = std::function<uint16_t(int32_t x, int32_t y)>;

using testkit::TempDir;
using testkit::writeFile;

// A raw file as the loader expects it: rows bottom-up, each row left to
// right, 16-bit samples little-endian.
inline std::vector<unsigned char> rawBytes(int32_t side, const HeightFunction& height, int32_t bits)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<std::size_t>(side) * side * (bits / 8));
    for (int32_t y = side - 1; y >= 0; --y) {
        for (int32_t x = 0; x < side; ++x) {
            const uint16_t h = height(x, y);
            bytes.push_back(static_cast<unsigned char>(h & 0xff));
            if (bits == 16)
                bytes.push_back(static_cast<unsigned char>(h >> 8));
        }
    }
    return bytes;
}

// Loads `map` with a square map of the given side from `height`.
inline bool loadMap(HeightMap& map, const TempDir& dir, int32_t side, const HeightFunction& height,
                    int32_t bits = 16)
{
    const std::string name = dir.file("map" + std::to_string(side) + "_" + std::to_string(bits) + ".raw");
    writeFile(name, rawBytes(side, height, bits));
    return map.load(name);
}

inline uint16_t flat(int32_t, int32_t)
{
    return 0;
}

// Deterministic rough terrain: smooth hills plus a little noise, values
// well inside 8 bits.
inline uint16_t hills(int32_t x, int32_t y)
{
    uint32_t n = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u;
    n = (n ^ (n >> 13)) * 1274126177u;
    const int32_t smooth = ((x * 7 + y * 3) % 97 < 48 ? (x * 7 + y * 3) % 97 : 97 - (x * 7 + y * 3) % 97);
    return static_cast<uint16_t>(60 + smooth + (n >> 29));
}

}  // namespace testmaps
