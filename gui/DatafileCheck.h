#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Allegro's load_datafile trusts its input and crashes on truncated or
// corrupt files. These checks walk a datafile's structure (packing, object
// headers, property chunks, sizes, nested grabber files) without building
// any object, so that only sound files reach Allegro.

enum class DatafileStatus {
    OK,
    MISSING,   // no such file
    CORRUPT,   // unreadable, wrong magic, truncated or inconsistent
};

// Checks the file on disk. Packed (LZSS) files are decompressed in memory
// and checked as a whole.
DatafileStatus checkDatafile(const char* fileName);

// Checks the bytes of a whole datafile file (with its packing magic).
bool isSoundDatafile(const std::vector<std::uint8_t>& fileBytes);

// Decompresses Allegro's LZSS stream (the bytes after a packed file's
// magic). Fails (returns false) on a stream that ends in the middle of a
// token, that refers to ring bytes Allegro leaves undefined, or whose output
// would exceed `maxOutput` bytes.
bool unpackLzss(const std::uint8_t* data, std::size_t size,
                std::vector<std::uint8_t>& out, std::size_t maxOutput);
