// The skin font class: measuring, printing and captions. Its loading and
// drawing are in gui/Font.cpp, the bitmap font readers in gui/FontLoaders.h.
#pragma once

// A skin font: either a font of the scalable-font layer (gui/alfont, scalable
// or not) with a pixel size, or an Allegro bitmap font. A new Font, and a Font
// whose file could not be read, is Allegro's built-in 8x8 font.
//
// Text is 8-bit Latin-1. Colours are pixel values of the target's colour
// depth as made by makecol; -1 as a background means transparent and -1 as a
// shadow means no shadow.

#include <cstddef>
#include <string>

struct BITMAP;
struct FONT;
struct ALFONT_FONT;
class Error;

class Font {
public:
    enum Alignment { Left = 0, Right = 1, Centre = 2 };

    // Size a Font starts with and the one it keeps until setSize.
    static constexpr int defaultSize = 10;
    // Buffer of the formatted text output, terminating zero included.
    static constexpr std::size_t printBufferSize = 512;
    // Longest caption (in bytes) the shortcut-marker drawing looks at.
    static constexpr std::size_t captionLimit = 1024;

    Font() = default;
    virtual ~Font();

    // A Font owns what it loaded: it can be moved, not copied.
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    Font(Font&& other) noexcept;
    Font& operator=(Font&& other) noexcept;

    // Loads a font file. When the file is missing, the same file name is
    // looked for in the "fonts" folder under the directory named by the
    // environment variable WINDIR (or windir). The kind is chosen by
    // extension, case-insensitively:
    //   bmp, pcx, lbm, tga  a bitmap font grabbed from the image: glyph
    //                       boxes on a border colour (the top-left pixel),
    //                       row by row, the first one character 32;
    //   txt                 an Allegro font script ("file first [last]" per
    //                       line, "-" going on with the previous file);
    //   itf                 a raw 8x8 font of 256 characters, 8 bytes each;
    //   fnt                 a GRX font (magic 0x19590214) or a BIOS font;
    //   anything else       a scalable-layer font, set to this Font's size.
    // Error 12: no such file; the font is left unchanged. Error 13: the file
    // cannot be read; the font is then the built-in one. 0 on success.
    Error load(const char* fileName);
    Error load(const std::string& fileName);

    // Drops the loaded font: back to Allegro's built-in font.
    void release();

    // Pixel size for scalable-layer fonts (kept for the next load too).
    // Sizes below 1, above ALFONT_MAX_SIZE or refused by the loaded font are
    // ignored. Allegro bitmap fonts have one size only.
    void setSize(int size);
    int size() const { return size_; }

    // Height of a line of text in pixels.
    int textHeight() const;
    // Width of a text in pixels (null counts as empty).
    int textLength(const char* text) const;

    // Draws text with its top at y; x is the left end, the right end or the
    // middle of the text by alignment. background -1: transparent.
    void draw(BITMAP* target, const char* text, int x, int y, int colour,
              int background = -1, int alignment = Left) const;

    // Text with a shadow: with a shadow colour other than -1 the text is drawn
    // first one pixel right and down in the shadow colour (on the background),
    // then in place in the text colour, transparent. Without a shadow it is
    // drawn once on the background.
    void drawShadowed(BITMAP* target, const char* text, int x, int y, int colour,
                      int shadow, int background = -1, int alignment = Left) const;

    // A caption with shortcut markers: "&" is not drawn and underlines the
    // character after it (a one-pixel line in the text colour, textHeight()
    // below the top); "&&" draws one "&". Measured and aligned without the
    // markers; at most captionLimit bytes are used. Shadow as drawShadowed.
    void drawCaption(BITMAP* target, const char* caption, int x, int y, int colour,
                     int shadow = -1, int background = -1, int alignment = Left) const;
    // Width of a caption as drawCaption draws it (markers not counted).
    int captionLength(const char* caption) const;
    // A caption's text without its markers (first captionLimit bytes).
    static std::string stripMarkers(const char* caption);
    // The character a caption marks as its shortcut (the byte after the first
    // single "&"), or 0 when it has none.
    static int shortcutOf(const char* caption);

    // Formatted text output: formats printf-style into a buffer of
    // printBufferSize bytes (longer output is cut, always terminated) and
    // draws the result with draw().
    void print(BITMAP* target, int x, int y, int colour, int background, int alignment,
               const char* format, ...) const __attribute__((format(printf, 8, 9)));

    // What the Font holds.
    bool isScalableLayer() const { return alfont_ != nullptr; }
    bool isScalable() const;
    bool isBuiltIn() const { return alfont_ == nullptr && allegroFont_ == nullptr; }
    ALFONT_FONT* scalableFont() const { return alfont_; }
    // The Allegro font drawn with (the built-in one when nothing is loaded);
    // null for a scalable-layer font.
    FONT* allegroFont() const;

private:
    void drawOnce(BITMAP* target, const char* text, int x, int y, int colour,
                  int background, int alignment) const;

    ALFONT_FONT* alfont_ = nullptr;   // owned
    FONT* allegroFont_ = nullptr;     // owned; null means the built-in font
    int size_ = defaultSize;
};
