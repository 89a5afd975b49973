#pragma once

// Reading BMP, PCX, TGA and LBM images with every size and offset checked
// against the file, for the bitmap fonts grabbed from images. Allegro's own
// image loaders trust the headers they read and can be brought down by a
// damaged file; these readers refuse such a file instead.
//
// Supported: BMP with 1, 4, 8, 16, 24 or 32 bits (uncompressed, RLE4, RLE8,
// bit fields; OS/2 and Windows headers), PCX with 8 bits in 1 or 3 planes and
// 1 bit in 1 or 4 planes, TGA types 1, 2, 3, 9, 10 and 11, and IFF ILBM/PBM
// with 1 to 8 planes. Anything else is refused.

#include <string>

struct BITMAP;
struct RGB;

// Reads an image file by its extension (case-insensitive). Palette images
// give an 8-bit bitmap of colour indices and fill `palette` (256 entries,
// may be null); true-colour images give a bitmap of the current colour depth.
// Null when the file is missing, damaged or of a kind not supported.
BITMAP* readImageFile(const std::string& path, RGB* palette);
