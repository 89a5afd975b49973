// Reading raw height files (format picked by file size), writing them, and
// the walking cost of a straight segment, step by step along it.
#include "terrain/HeightMap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <system_error>

#include "terrain/Vertex.h"

namespace {

// Largest side a raw reader accepts; keeps columns * rows well inside size_t
// and the sample index inside int arithmetic of the callers.
constexpr int32_t maxSide = 1 << 15;

// Size of a regular file in bytes; 0 for a missing file, a directory or
// anything else that is not a regular file.
std::uintmax_t rawFileSize(const std::string& fileName)
{
    std::error_code error;
    const std::filesystem::path path(fileName);
    if (!std::filesystem::is_regular_file(path, error) || error)
        return 0;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

HeightMap::HeightMap() = default;

HeightMap::~HeightMap() = default;

void HeightMap::release()
{
    samples_.reset();
    columns_ = 0;
    rows_ = 0;
    bitsPerSample_ = 0;
}

std::unique_ptr<uint16_t[]> HeightMap::allocateSamples(std::size_t count)
{
    return std::unique_ptr<uint16_t[]>(new (std::nothrow) uint16_t[count]);
}

bool HeightMap::load(const std::string& fileName)
{
    switch (rawFileSize(fileName)) {
    case 66049:
        return loadRaw8(fileName, 257, 257);
    case 132098:
        return loadRaw16(fileName, 257, 257);
    case 263169:
        return loadRaw8(fileName, 513, 513);
    case 526338:
        return loadRaw16(fileName, 513, 513);
    default:
        return false;
    }
}

bool writeRaw(const std::string& path, const std::vector<uint16_t>& heights, int side, int bits)
{
    if (side <= 0 || heights.size() != static_cast<std::size_t>(side) * side || (bits != 8 && bits != 16))
        return false;
    std::vector<unsigned char> bytes;
    bytes.reserve(heights.size() * (bits / 8));
    for (int y = side - 1; y >= 0; --y)
        for (int x = 0; x < side; ++x) {
            const uint16_t h = heights[static_cast<std::size_t>(y) * side + x];
            if (bits == 8) {
                bytes.push_back(static_cast<unsigned char>(std::min<uint16_t>(h, 255)));
            } else {
                bytes.push_back(static_cast<unsigned char>(h & 0xff));
                bytes.push_back(static_cast<unsigned char>(h >> 8));
            }
        }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool HeightMap::loadRaw16(const std::string& fileName, int32_t columns, int32_t rows)
{
    return loadRaw(fileName, columns, rows, 2);
}

bool HeightMap::loadRaw8(const std::string& fileName, int32_t columns, int32_t rows)
{
    return loadRaw(fileName, columns, rows, 1);
}

// Reads into a new buffer and replaces the old samples only once every
// sample has been read, so a failed read leaves the map as it was.
bool HeightMap::loadRaw(const std::string& fileName, int32_t columns, int32_t rows, int32_t bytesPerSample)
{
    if (columns <= 0 || rows <= 0 || columns > maxSide || rows > maxSide)
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file)
        return false;

    const std::size_t width = static_cast<std::size_t>(columns);
    const std::size_t count = width * static_cast<std::size_t>(rows);
    std::unique_ptr<uint16_t[]> samples = allocateSamples(count);
    if (!samples)
        return false;
    std::unique_ptr<unsigned char[]> rowBytes(new (std::nothrow) unsigned char[width * bytesPerSample]);
    if (!rowBytes)
        return false;

    // The file stores the rows bottom-up: its first row is map row rows - 1.
    for (int32_t row = rows - 1; row >= 0; --row) {
        const std::size_t rowSize = width * bytesPerSample;
        if (std::fread(rowBytes.get(), 1, rowSize, file.get()) != rowSize)
            return false;
        uint16_t* out = samples.get() + static_cast<std::size_t>(row) * width;
        if (bytesPerSample == 1) {
            for (std::size_t column = 0; column < width; ++column)
                out[column] = rowBytes[column];
        } else {
            for (std::size_t column = 0; column < width; ++column)
                out[column] = static_cast<uint16_t>(rowBytes[2 * column] | (rowBytes[2 * column + 1] << 8));
        }
    }

    samples_ = std::move(samples);
    columns_ = columns;
    rows_ = rows;
    bitsPerSample_ = 8 * bytesPerSample;
    return true;
}

int32_t HeightMap::segmentCost(const Vertex& from, const Vertex& to) const
{
    return segmentCost(from.x, from.y, to.x, to.y);
}

// Walks the line with Bresenham stepping from `from` to `to`, summing a cost
// for every step from one sample to the next. The first advance happens
// before the loop, the loop reads the n points after `from` (the last is
// `to`), and the closing step from `to` to itself is always a level step, so
// a segment of major length n sums n + 1 step costs. The float sum is kept in
// exactly this order: the truncated result depends on it.
int32_t HeightMap::segmentCost(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) const
{
    const int32_t dx = toX - fromX;
    const int32_t dy = toY - fromY;
    if (dx == 0 && dy == 0)
        return 0;

    static const float root2 = std::sqrt(2.0f);
    const bool oblique = dx != 0 && dy != 0;
    const float levelCost = oblique ? root2 : 1.0f;
    const float climbCost = oblique ? 2.0f * root2 : 2.0f;
    const float descentCost = oblique ? 1.0f : root2 / 2.0f;

    const bool majorIsX = std::abs(dx) >= std::abs(dy);
    const int32_t majorDelta = majorIsX ? dx : dy;
    const int32_t minorDelta = majorIsX ? dy : dx;
    const int32_t n = std::abs(majorDelta);
    const int32_t m = std::abs(minorDelta);
    const int32_t majorStep = majorDelta > 0 ? 1 : -1;
    const int32_t minorStep = minorDelta > 0 ? 1 : -1;

    int32_t major = majorIsX ? fromX : fromY;
    int32_t minor = majorIsX ? fromY : fromX;
    int32_t err = 2 * m - n;
    auto advance = [&] {
        while (err >= 0) {
            minor += minorStep;
            err -= 2 * n;
        }
        major += majorStep;
        err += 2 * m;
    };

    float sum = 0.0f;
    int32_t prev = heightAt(fromX, fromY);
    auto addStep = [&](int32_t h) {
        const int32_t change = h - prev;
        if (change == 0)
            sum += levelCost;
        else if (change == 1)
            sum += climbCost;
        else if (change == -1)
            sum += descentCost;
        else
            return false;
        prev = h;
        return true;
    };

    advance();
    for (int32_t i = 0; i < n; ++i) {
        const int32_t h = majorIsX ? heightAt(major, minor) : heightAt(minor, major);
        if (!addStep(h))
            return 0;
        advance();
    }
    if (!addStep(heightAt(toX, toY)))
        return 0;
    return static_cast<int32_t>(sum);
}
