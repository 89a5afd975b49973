// The height map: raw 8- or 16-bit samples read from a file, and the
// walking cost of a segment across them; writeRaw writes such a file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Vertex;

// A square grid of unsigned 16-bit height samples read from a headerless raw
// file (8- or 16-bit samples, side 257 or 513, rows stored bottom-up).
// Column x grows to the right, row y grows downwards; one sample spacing is
// one metre and heights are raw sample values.
class HeightMap {
public:
    HeightMap();
    virtual ~HeightMap();

    HeightMap(const HeightMap&) = delete;
    HeightMap& operator=(const HeightMap&) = delete;

    // Walking cost of the straight segment from `from` to `to` (only their x
    // and y are read). 0 when the points coincide or the way is impassable
    // (a height change of 2 or more on any step). Direction dependent.
    virtual int32_t segmentCost(const Vertex& from, const Vertex& to) const;

    // Frees the samples; the map becomes empty.
    virtual void release();

    // Read a raw file of the given dimensions (16-bit little-endian or 8-bit
    // samples). On any failure (cannot open, short file, no memory, bad
    // dimensions) they return false and the map keeps its previous content.
    virtual bool loadRaw16(const std::string& fileName, int32_t columns, int32_t rows);
    virtual bool loadRaw8(const std::string& fileName, int32_t columns, int32_t rows);

    // Picks the format by the file size: 66049 (8-bit, 257), 132098 (16-bit,
    // 257), 263169 (8-bit, 513), 526338 (16-bit, 513). Any other size, a
    // missing file or a directory: false, the map is unchanged.
    virtual bool load(const std::string& fileName);

    // Same cost as above, for the points (fromX, fromY) and (toX, toY).
    int32_t segmentCost(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) const;

    // The sample at column x, row y. No bounds check.
    uint16_t heightAt(int32_t x, int32_t y) const { return samples_[static_cast<std::size_t>(y) * columns_ + x]; }

    int32_t columns() const { return columns_; }
    int32_t rows() const { return rows_; }
    int32_t bitsPerSample() const { return bitsPerSample_; }
    bool empty() const { return samples_ == nullptr; }
    const uint16_t* samples() const { return samples_.get(); }

protected:
    // Allocates the sample buffer of a load; null when there is no memory.
    virtual std::unique_ptr<uint16_t[]> allocateSamples(std::size_t count);

private:
    bool loadRaw(const std::string& fileName, int32_t columns, int32_t rows, int32_t bytesPerSample);

    int32_t columns_ = 0;
    int32_t rows_ = 0;
    std::unique_ptr<uint16_t[]> samples_;
    int32_t bitsPerSample_ = 0;
};

// Writes heights (row 0 first) as a raw height map that HeightMap::load
// reads: no header, rows stored bottom-up, one byte per sample or two bytes
// little-endian. Samples above 255 are clipped in an 8-bit file. False when
// the size or width is wrong or the file cannot be written.
bool writeRaw(const std::string& path, const std::vector<uint16_t>& heights, int side, int bits);
