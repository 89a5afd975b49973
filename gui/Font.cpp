// Skin fonts: loading (bitmap kinds through gui/FontLoaders, scalable ones
// through gui/alfont), measuring and drawing text, shadows, captions with
// shortcut markers and formatted output.
#include "gui/Font.h"

#include "gui/Error.h"
#include "gui/FontLoaders.h"
#include "gui/Settings.h"
#include "gui/alfont/alfont.h"

#include <allegro.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool antialiasingOn() { return theSettings.antialiasing; }

// A caption split into the text to draw and the positions (in that text) of
// the characters its "&" markers underline.
struct Caption {
    std::string text;
    std::vector<std::size_t> marked;
};

Caption parseCaption(const char* caption)
{
    Caption out;
    if (caption == nullptr)
        return out;
    const std::size_t n = strnlen(caption, Font::captionLimit);
    for (std::size_t i = 0; i < n; ++i) {
        if (caption[i] != '&') {
            out.text += caption[i];
        } else if (i + 1 < n && caption[i + 1] == '&') {
            out.text += '&';
            ++i;
        } else if (i + 1 < n) {
            out.marked.push_back(out.text.size());
        }
        // A lone "&" at the very end marks nothing and is dropped.
    }
    return out;
}

// A one-pixel line on row y from x1 to x2, kept inside the bitmap (and its
// clip rectangle when clipping is on).
void underline(BITMAP* target, int x1, int y, int x2, int colour)
{
    int left = 0, top = 0, right = target->w - 1, bottom = target->h - 1;
    if (get_clip_state(target)) {
        int cx1 = 0, cy1 = 0, cx2 = 0, cy2 = 0;
        get_clip_rect(target, &cx1, &cy1, &cx2, &cy2);
        left = std::max(left, cx1);
        top = std::max(top, cy1);
        right = std::min(right, cx2);
        bottom = std::min(bottom, cy2);
    }
    x1 = std::max(x1, left);
    x2 = std::min(x2, right);
    if (y < top || y > bottom || x1 > x2)
        return;
    hline(target, x1, y, x2, colour);
}

} // namespace

Font::~Font()
{
    release();
}

Font::Font(Font&& other) noexcept
    : alfont_(other.alfont_), allegroFont_(other.allegroFont_), size_(other.size_)
{
    other.alfont_ = nullptr;
    other.allegroFont_ = nullptr;
}

Font& Font::operator=(Font&& other) noexcept
{
    if (this != &other) {
        release();
        alfont_ = other.alfont_;
        allegroFont_ = other.allegroFont_;
        size_ = other.size_;
        other.alfont_ = nullptr;
        other.allegroFont_ = nullptr;
    }
    return *this;
}

void Font::release()
{
    if (alfont_ != nullptr)
        alfont_destroy_font(alfont_);
    if (allegroFont_ != nullptr)
        destroy_font(allegroFont_);
    alfont_ = nullptr;
    allegroFont_ = nullptr;
}

Error Font::load(const std::string& fileName)
{
    const std::string path = fontfiles::locate(fileName);
    if (path.empty())
        return Error(Error::FILE_NOT_FOUND);

    release();
    const std::string ext = fontfiles::lowerExtension(path);
    if (fontfiles::isBitmapFontExtension(ext)) {
        allegroFont_ = fontfiles::loadFontFile(path, ext);
        return allegroFont_ != nullptr ? Error(Error::NONE) : Error(Error::FILE_LOAD);
    }
    if (alfont_init() != 0)
        return Error(Error::FILE_LOAD);
    alfont_ = alfont_load_font(path.c_str());
    if (alfont_ == nullptr)
        return Error(Error::FILE_LOAD);
    alfont_set_font_size(alfont_, size_);
    return Error(Error::NONE);
}

Error Font::load(const char* fileName)
{
    if (fileName == nullptr)
        return Error(Error::FILE_NOT_FOUND);
    return load(std::string(fileName));
}

void Font::setSize(int size)
{
    // A size the scalable layer cannot draw would leave the font at some
    // other size than the one reported: it is ignored like any bad size.
    if (size < 1 || size > ALFONT_MAX_SIZE)
        return;
    if (alfont_ != nullptr && alfont_set_font_size(alfont_, size) != 0)
        return;
    size_ = size;
}

bool Font::isScalable() const
{
    return alfont_ != nullptr && alfont_is_scalable_font(alfont_) != 0;
}

FONT* Font::allegroFont() const
{
    if (alfont_ != nullptr)
        return nullptr;
    return allegroFont_ != nullptr ? allegroFont_ : ::font;
}

int Font::textHeight() const
{
    if (alfont_ != nullptr)
        return alfont_text_height(alfont_);
    return text_height(allegroFont());
}

int Font::textLength(const char* text) const
{
    if (text == nullptr || *text == 0)
        return 0;
    if (alfont_ != nullptr)
        return alfont_text_length(alfont_, text);
    return text_length(allegroFont(), text);
}

void Font::drawOnce(BITMAP* target, const char* text, int x, int y, int colour, int background,
                    int alignment) const
{
    if (target == nullptr || text == nullptr)
        return;
    if (alfont_ != nullptr) {
        const int oldMode = alfont_text_mode(background);
        const bool aa = antialiasingOn() && isScalable();
        switch (alignment) {
        case Right:
            (aa ? alfont_textout_right_aa : alfont_textout_right)(target, alfont_, text, x, y, colour);
            break;
        case Centre:
            (aa ? alfont_textout_centre_aa : alfont_textout_centre)(target, alfont_, text, x, y, colour);
            break;
        default:
            (aa ? alfont_textout_aa : alfont_textout)(target, alfont_, text, x, y, colour);
            break;
        }
        alfont_text_mode(oldMode);
        return;
    }
    FONT* f = allegroFont();
    if (f == nullptr)
        return;
    // Allegro draws unclipped when a bitmap's clipping is off, and text
    // reaching past the edge would then write outside the bitmap: clip to the
    // bitmap for the duration of the call.
    const bool unclipped = !get_clip_state(target);
    int cx1 = 0, cy1 = 0, cx2 = 0, cy2 = 0;
    if (unclipped) {
        get_clip_rect(target, &cx1, &cy1, &cx2, &cy2);
        set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
        set_clip_state(target, TRUE);
    }
    switch (alignment) {
    case Right:
        textout_right_ex(target, f, text, x, y, colour, background);
        break;
    case Centre:
        textout_centre_ex(target, f, text, x, y, colour, background);
        break;
    default:
        textout_ex(target, f, text, x, y, colour, background);
        break;
    }
    if (unclipped) {
        set_clip_rect(target, cx1, cy1, cx2, cy2);
        set_clip_state(target, FALSE);
    }
}

void Font::draw(BITMAP* target, const char* text, int x, int y, int colour, int background,
                int alignment) const
{
    drawOnce(target, text, x, y, colour, background, alignment);
}

void Font::drawShadowed(BITMAP* target, const char* text, int x, int y, int colour, int shadow,
                        int background, int alignment) const
{
    if (shadow != -1) {
        drawOnce(target, text, x + 1, y + 1, shadow, background, alignment);
        drawOnce(target, text, x, y, colour, -1, alignment);
    } else {
        drawOnce(target, text, x, y, colour, background, alignment);
    }
}

std::string Font::stripMarkers(const char* caption)
{
    return parseCaption(caption).text;
}

int Font::shortcutOf(const char* caption)
{
    const Caption c = parseCaption(caption);
    if (c.marked.empty() || c.marked.front() >= c.text.size())
        return 0;
    return static_cast<unsigned char>(c.text[c.marked.front()]);
}

int Font::captionLength(const char* caption) const
{
    return textLength(parseCaption(caption).text.c_str());
}

void Font::drawCaption(BITMAP* target, const char* caption, int x, int y, int colour, int shadow,
                       int background, int alignment) const
{
    if (target == nullptr || caption == nullptr)
        return;
    const Caption c = parseCaption(caption);
    const int length = textLength(c.text.c_str());
    int left = x;
    if (alignment == Right)
        left = x - length;
    else if (alignment == Centre)
        left = x - length / 2;

    drawShadowed(target, c.text.c_str(), left, y, colour, shadow, background, Left);

    if (colour == -1)
        return;
    const int lineY = y + textHeight();
    for (std::size_t index : c.marked) {
        if (index >= c.text.size())
            continue;
        const int from = textLength(c.text.substr(0, index).c_str());
        const int to = textLength(c.text.substr(0, index + 1).c_str());
        if (to <= from)
            continue;
        if (shadow != -1)
            underline(target, left + from + 1, lineY + 1, left + to, shadow);
        underline(target, left + from, lineY, left + to - 1, colour);
    }
}

void Font::print(BITMAP* target, int x, int y, int colour, int background, int alignment,
                 const char* format, ...) const
{
    if (format == nullptr)
        return;
    char buffer[printBufferSize];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0)
        buffer[0] = 0;
    buffer[sizeof buffer - 1] = 0;
    draw(target, buffer, x, y, colour, background, alignment);
}
