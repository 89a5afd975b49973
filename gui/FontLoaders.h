// The readers of the bitmap font files a skin may name (.fnt as GRX or BIOS,
// .itf, font scripts and fonts grabbed from images), each checking sizes
// against the file; gui/Font.cpp draws with what they give.
#pragma once

#include <string>

struct FONT;

namespace fontfiles {

// The file's extension in lower case, without the dot; empty when none.
std::string lowerExtension(const std::string& path);

// Where a font file really is: the name itself, or the same file name in the
// system font folder ($WINDIR/fonts, or $windir/fonts). Empty when neither.
std::string locate(const std::string& fileName);

// True for the extensions of the bitmap font kinds read here.
bool isBitmapFontExtension(const std::string& ext);

// Reads a bitmap font of the kind its extension names. Null when the file is
// damaged or the extension names no bitmap font kind.
FONT* loadFontFile(const std::string& path, const std::string& ext);

} // namespace fontfiles
