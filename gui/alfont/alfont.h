// Scalable fonts for Allegro 4, drawn with FreeType.
//
// A font is loaded from any file FreeType reads (TrueType, OpenType, Type 1,
// PCF, BDF, Windows FNT, ...). Text is a string of 8-bit Latin-1 bytes: each
// byte value is the Unicode code point of its character. Glyphs are rendered
// once per font and pixel size and kept in a cache, so drawing text costs a
// blend (or copy) of already rasterised coverage maps.
//
// Text drawn at (x, y) has its top, the font's ascender line, at row y.
// Drawing honours the target bitmap's clip rectangle. The colour passed to the
// drawing functions is a pixel value of the target's colour depth (makecol).
// The background of drawn text is set with alfont_text_mode: a pixel value,
// or -1 for transparent.
//
// The library keeps no threads and is meant to be used from one thread.
#ifndef VASKUR_GUI_ALFONT_ALFONT_H
#define VASKUR_GUI_ALFONT_ALFONT_H

#include <allegro.h>

#include <cstddef>

struct ALFONT_FONT;

// Starts the library (FreeType). Returns 0 on success, non-zero on failure.
// Calling it again while started does nothing and returns 0.
int alfont_init();
// Destroys every font still loaded and stops the library. Harmless when the
// library is not started.
void alfont_exit();

// Loads a font file. Returns nullptr when the library is not started, the file
// is missing, or FreeType cannot read it. The font starts at pixel size 8 (or
// the nearest size a fixed-size font has).
ALFONT_FONT *alfont_load_font(const char *filepathname);
// Same, from a buffer of font file bytes; the buffer is copied.
ALFONT_FONT *alfont_load_font_from_mem(const char *data, std::size_t size);
// Releases a font; nullptr is allowed.
void alfont_destroy_font(ALFONT_FONT *f);

// The largest pixel size alfont_set_font_size accepts.
inline constexpr int ALFONT_MAX_SIZE = 1024;

// Sets the pixel height (em size) of a font. A fixed-size font takes the
// nearest size it has. Returns 0 on success, -1 when the size cannot be set
// (sizes below 1 or above ALFONT_MAX_SIZE, or FreeType refuses); the font
// keeps its size.
int alfont_set_font_size(ALFONT_FONT *f, int h);
// The pixel size last set successfully.
int alfont_get_font_size(const ALFONT_FONT *f);

// Sets the background of all later text drawing: a pixel value filled behind
// the text, or -1 (any negative value) for transparent. Returns the previous
// mode.
int alfont_text_mode(int mode);

// Plain drawing: a pixel is either the text colour or left alone (or the
// background). Right and centre alignment take x as the right end or the
// middle of the text.
void alfont_textout(BITMAP *bmp, ALFONT_FONT *f, const char *s, int x, int y, int color);
void alfont_textout_right(BITMAP *bmp, ALFONT_FONT *f, const char *s, int x, int y, int color);
void alfont_textout_centre(BITMAP *bmp, ALFONT_FONT *f, const char *s, int x, int y, int color);

// Anti-aliased drawing: glyph coverage blends the colour into the background
// (or into the target when the background is transparent). 15, 16, 24 and
// 32-bit targets blend; an 8-bit target is drawn as with alfont_textout.
void alfont_textout_aa(BITMAP *bmp, ALFONT_FONT *f, const char *s, int x, int y, int color);
void alfont_textout_right_aa(BITMAP *bmp, ALFONT_FONT *f, const char *s, int x, int y, int color);
void alfont_textout_centre_aa(BITMAP *bmp, ALFONT_FONT *f, const char *s, int x, int y, int color);

// Height of a line of text in pixels: from the ascender line to the descender
// line at the current size. 0 for nullptr.
int alfont_text_height(const ALFONT_FONT *f);
// Distance from the ascender line down to the baseline, in pixels.
int alfont_text_ascent(const ALFONT_FONT *f);
// Advance width of a text in pixels at the current size (kerning included
// when the font has it). 0 for nullptr or an empty text.
int alfont_text_length(ALFONT_FONT *f, const char *str);
// Non-zero when the font has outlines that scale to any size.
int alfont_is_scalable_font(const ALFONT_FONT *f);
// Non-zero when the font has a glyph for the Latin-1 character c.
int alfont_has_glyph(const ALFONT_FONT *f, unsigned char c);

// How many glyphs this font has rasterised so far, over all sizes. Drawing
// text that was drawn before at the same size does not raise it.
long alfont_rendered_glyph_count(const ALFONT_FONT *f);

#endif
