// Painting the 46 built-in skin bitmaps and the arrow cursor from the skin
// colours: buttons, checks, scroll pieces, window frames, boxes.
#include "gui/SkinLook.h"

#include "gui/Bitmap.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

#include <allegro.h>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace {

// Built-in size, middle tile and frame grid of each named bitmap.
constexpr LookSize kSizes[Skin::NAMED_BITMAPS] = {
    {64, 64, 60, 48, 1, 1},  // BOX
    {64, 64, 58, 58, 1, 1},  // BOX_SHADDOW
    {18, 72, 14, 14, 1, 4},  // BUTTON
    {26, 52, 13, 13, 2, 4},  // CHECKBOX
    {72, 72, 68, 68, 1, 1},  // CLEAR_BACK
    {18, 80, 18, 20, 1, 4},  // COMBO_BUTTON
    {18, 88, 14, 18, 1, 4},  // HSLIDER_BACK
    {11, 88, 11, 22, 1, 4},  // HSLIDER_GRIP
    {15, 56, 15, 14, 1, 4},  // ICONEXIT
    {15, 56, 15, 14, 1, 4},  // ICONMAX
    {15, 56, 15, 14, 1, 4},  // ICONMIN
    {15, 56, 15, 14, 1, 4},  // ICONRESTORE
    {36, 96, 32, 8, 1, 8},   // LIST
    {64, 64, 60, 60, 1, 1},  // MENU_BACK
    {18, 24, 18, 12, 1, 2},  // MENU_BUTTON
    {48, 126, 32, 18, 1, 7}, // MENU_ITEM
    {64, 64, 60, 60, 1, 1},  // PANEL_GROOVE
    {64, 64, 60, 60, 1, 1},  // PANEL_RAISED
    {64, 64, 60, 60, 1, 1},  // PANEL_RIDGE
    {64, 64, 60, 60, 1, 1},  // PANEL_SUNKEN
    {12, 36, 8, 14, 1, 2},   // PROGRESSH
    {36, 12, 14, 8, 2, 1},   // PROGRESSV
    {26, 52, 13, 13, 2, 4},  // RADIO
    {16, 64, 16, 16, 1, 4},  // SCROLL_DOWN
    {18, 64, 14, 12, 1, 4},  // SCROLL_HBACK
    {18, 64, 14, 12, 1, 4},  // SCROLL_HGRIP
    {16, 64, 12, 12, 1, 4},  // SCROLL_HGRIPOVERLAY
    {16, 64, 16, 16, 1, 4},  // SCROLL_LEFT
    {16, 64, 16, 16, 1, 4},  // SCROLL_RIGHT
    {16, 64, 16, 16, 1, 4},  // SCROLL_UP
    {16, 64, 12, 12, 1, 4},  // SCROLL_VBACK
    {16, 48, 12, 8, 1, 4},   // SCROLL_VGRIP
    {16, 64, 12, 12, 1, 4},  // SCROLL_VGRIPOVERLAY
    {12, 2, 8, 2, 1, 1},     // SEPARATORH
    {2, 12, 2, 8, 1, 1},     // SEPARATORV
    {18, 72, 14, 14, 1, 4},  // TAB_BUTTON
    {12, 12, 8, 8, 1, 1},    // TAB_WINDOW
    {88, 18, 18, 14, 4, 1},  // VSLIDER_BACK
    {88, 11, 22, 11, 4, 1},  // VSLIDER_GRIP
    {30, 8, -1, -1, 1, 2},   // WINBOTTOM
    {30, 30, -1, -1, 1, 1},  // WINDOW
    {30, 36, -1, -1, 1, 2},  // WINGRIP
    {8, 72, -1, -1, 2, 1},   // WINLEFT
    {8, 72, -1, -1, 2, 1},   // WINRIGHT
    {12, 17, -1, -1, 2, 1},  // WINTEXT
    {30, 8, -1, -1, 1, 2},   // WINTOP
};

enum State { NORMAL = 0, SELECTED = 1, DISABLED = 2, FOCUSED = 3 };

// The skin colours as pixel values of the bitmap being painted, plus the
// shades mixed from them.
struct Pal {
    int depth = 32;
    int mask = 0;
    int face = 0, text = 0, light = 0, dark = 0, disable = 0;
    int select = 0, deselect = 0, focus = 0, sunken = 0, back = 0;

    int mix(int a, int b, int num, int den) const
    {
        return Bitmap::mixColours(a, b, num, den, depth);
    }
    // Shades of the face toward the dark and the light colour.
    int shade(int num, int den) const { return mix(face, dark, num, den); }
    int tint(int num, int den) const { return mix(face, light, num, den); }
};

int orDefault(Color c, int r, int g, int b, int depth)
{
    return c == NO_COLOR ? makecol_depth(depth, r, g, b) : c;
}

Pal makePal(const SkinColors& c, int depth)
{
    Pal p;
    p.depth = depth;
    p.mask = depth == 8 ? MASK_COLOR_8
           : depth == 15 ? MASK_COLOR_15
           : depth == 16 ? MASK_COLOR_16
           : depth == 24 ? MASK_COLOR_24 : MASK_COLOR_32;
    p.face = orDefault(c.face, 210, 210, 210, depth);
    p.text = orDefault(c.fontface, 16, 16, 16, depth);
    p.light = orDefault(c.shad1, 255, 255, 255, depth);
    p.dark = orDefault(c.shad2, 80, 80, 80, depth);
    p.disable = orDefault(c.disable, 128, 128, 128, depth);
    p.select = orDefault(c.select, 128, 192, 128, depth);
    p.deselect = orDefault(c.deselect, 224, 224, 224, depth);
    p.focus = orDefault(c.focus, 128, 192, 128, depth);
    p.sunken = orDefault(c.sunken, 232, 232, 232, depth);
    p.back = orDefault(c.back, 180, 180, 180, depth);
    return p;
}

// A glyph drawn at an offset in a colour; drawn twice for the embossed
// (disabled) look.
using Glyph = std::function<void(BITMAP*, int ox, int oy, int colour)>;

class Painter {
public:
    Painter(BITMAP* b, const Pal& p) : b_(b), p_(p) {}

    // Clears a frame to the mask colour.
    void clear(int x, int y, int w, int h) { rectfill(b_, x, y, x + w - 1, y + h - 1, p_.mask); }

    // Knocks the four outermost corner pixels out, for a softer outline.
    void roundCorners(int x, int y, int w, int h)
    {
        putpixel(b_, x, y, p_.mask);
        putpixel(b_, x + w - 1, y, p_.mask);
        putpixel(b_, x, y + h - 1, p_.mask);
        putpixel(b_, x + w - 1, y + h - 1, p_.mask);
    }

    // A push-button face in one of the four states.
    void button(int x, int y, int w, int h, int state, bool rounded = true)
    {
        const int x2 = x + w - 1, y2 = y + h - 1;
        switch (state) {
        case SELECTED:
            Bitmap::box3D(b_, x, y, x2, y2, p_.tint(1, 3), p_.dark, true, p_.shade(1, 12));
            break;
        case DISABLED:
            Bitmap::box3D(b_, x, y, x2, y2, p_.light, p_.mix(p_.face, p_.disable, 2, 3), false, p_.face);
            break;
        case FOCUSED:
            Bitmap::box3D(b_, x, y, x2, y2, p_.light, p_.dark, false, p_.mix(p_.face, p_.focus, 1, 6));
            rect(b_, x, y, x2, y2, p_.mix(p_.focus, p_.dark, 1, 3));
            break;
        default:
            Bitmap::box3D(b_, x, y, x2, y2, p_.light, p_.dark, false, p_.face);
            break;
        }
        if (rounded)
            roundCorners(x, y, w, h);
    }

    // A glyph in the colours of a state: pressed ones move one pixel right
    // and down, disabled ones are embossed in the disabled colour.
    void glyph(const Glyph& g, int x, int y, int state)
    {
        if (state == DISABLED) {
            g(b_, x + 1, y + 1, p_.light);
            g(b_, x, y, p_.disable);
        } else if (state == SELECTED) {
            g(b_, x + 1, y + 1, p_.text);
        } else {
            g(b_, x, y, p_.text);
        }
    }

    // Two-pixel etched outline: groove (cut in) or ridge (standing out).
    void etched(int x, int y, int w, int h, bool ridge)
    {
        const int a = ridge ? p_.light : p_.shade(2, 3);
        const int c = ridge ? p_.shade(2, 3) : p_.light;
        rect(b_, x + 1, y + 1, x + w - 1, y + h - 1, c);
        rect(b_, x, y, x + w - 2, y + h - 2, a);
    }

    BITMAP* b_;
    const Pal& p_;
};

// ---- glyphs ----

void glyphMaximise(BITMAP* b, int x, int y, int colour)
{
    rect(b, x, y, x + 8, y + 7, colour);
    hline(b, x, y + 1, x + 8, colour);
}

void glyphMinimise(BITMAP* b, int x, int y, int colour)
{
    rectfill(b, x, y, x + 5, y + 1, colour);
}

void glyphRestore(BITMAP* b, int x, int y, int colour)
{
    // The window behind: only its visible parts.
    hline(b, x + 2, y, x + 8, colour);
    hline(b, x + 2, y + 1, x + 8, colour);
    vline(b, x + 8, y, y + 5, colour);
    hline(b, x + 7, y + 5, x + 8, colour);
    vline(b, x + 2, y + 1, y + 2, colour);
    // The window in front.
    rect(b, x, y + 3, x + 6, y + 8, colour);
    hline(b, x, y + 4, x + 6, colour);
}

// ---- the bitmaps ----

void paintButtonStrip(Painter& pt, int fw, int fh)
{
    for (int s = 0; s < 4; ++s)
        pt.button(0, s * fh, fw, fh, s);
}

void paintCheck(Painter& pt, const Pal& p, bool radio)
{
    const int f = 13;
    for (int ticked = 0; ticked < 2; ++ticked) {
        for (int s = 0; s < 4; ++s) {
            const int x = ticked * f, y = s * f;
            const int fill = (s == NORMAL || s == FOCUSED) ? p.sunken : p.face;
            // Disabled boxes have a softer outline.
            const int dark = s == DISABLED ? p.mix(p.face, p.disable, 2, 3) : p.dark;
            if (radio) {
                Bitmap::circle3D(pt.b_, x + 6, y + 6, 6, p.light, dark, true, fill);
                if (s == FOCUSED)
                    circle(pt.b_, x + 6, y + 6, 6, p.mix(p.focus, p.dark, 1, 3));
                if (ticked) {
                    const int c = s == DISABLED ? p.disable : p.text;
                    circlefill(pt.b_, x + 6, y + 6, 2, c);
                }
            } else {
                Bitmap::box3D(pt.b_, x, y, x + f - 1, y + f - 1, p.light, dark, true, fill);
                if (s == FOCUSED)
                    rect(pt.b_, x, y, x + f - 1, y + f - 1, p.mix(p.focus, p.dark, 1, 3));
                if (ticked)
                    Bitmap::tick(pt.b_, x + 3, y + 3, 7, s == DISABLED ? p.disable : p.text);
            }
        }
    }
}

void paintArrowButtons(Painter& pt, Bitmap::Direction d)
{
    for (int s = 0; s < 4; ++s) {
        const int y = s * 16;
        pt.button(0, y, 16, 16, s);
        pt.glyph([d](BITMAP* b, int ox, int oy, int c) { Bitmap::arrow(b, ox, oy, 7, d, c); },
                 7, y + 7, s);
    }
}

void paintIcon(Painter& pt, int slot)
{
    const int fw = 15, fh = 14;
    for (int s = 0; s < 4; ++s) {
        const int y = s * fh;
        pt.button(0, y, fw, fh, s);
        switch (slot) {
        case Skin::ICONEXIT:
            pt.glyph([](BITMAP* b, int ox, int oy, int c) { Bitmap::cross(b, ox, oy, 7, c, 2); },
                     4, y + 3, s);
            break;
        case Skin::ICONMAX:
            pt.glyph(glyphMaximise, 3, y + 2, s);
            break;
        case Skin::ICONMIN:
            pt.glyph(glyphMinimise, 4, y + 9, s);
            break;
        default:
            pt.glyph(glyphRestore, 3, y + 2, s);
            break;
        }
    }
}

void paintList(Painter& pt, const Pal& p)
{
    const int fw = 36, fh = 12;
    for (int state = 0; state < 8; ++state) {
        const int y = state * fh;
        const bool marked = state & 1;
        const int kind = state >> 1; // 0 normal, 1 focused, 2 selected, 3 disabled
        if (kind == 2) {
            rectfill(pt.b_, 0, y, fw - 1, y + fh - 1, p.select);
            rect(pt.b_, 0, y, fw - 1, y + fh - 1, p.mix(p.select, p.dark, 1, 3));
            pt.roundCorners(0, y, fw, fh);
            if (marked)
                rect(pt.b_, 1, y + 1, fw - 2, y + fh - 2, p.mix(p.select, p.light, 1, 2));
        } else if (marked) {
            const int fill = kind == 3 ? p.mix(p.deselect, p.disable, 1, 4) : p.deselect;
            rectfill(pt.b_, 0, y, fw - 1, y + fh - 1, fill);
            pt.roundCorners(0, y, fw, fh);
        }
        if (kind == 1)
            Bitmap::dottedRect(pt.b_, 0, y, fw - 1, y + fh - 1, p.text);
    }
}

void paintMenuItem(Painter& pt, const Pal& p)
{
    const int fw = 48, fh = 18;
    for (int f = 0; f < 7; ++f) {
        const int y = f * fh;
        const bool selected = f == 1 || f == 4 || f == 6;
        if (selected) {
            rectfill(pt.b_, 0, y + 1, fw - 1, y + fh - 2, p.select);
            hline(pt.b_, 0, y, fw - 1, p.mix(p.select, p.light, 1, 2));
            hline(pt.b_, 0, y + fh - 1, fw - 1, p.mix(p.select, p.dark, 1, 3));
        }
        const int c = f == 2 ? p.disable : p.text;
        if (f == 3 || f == 4)
            Bitmap::tick(pt.b_, 1, y + 5, 7, c);
        if (f == 5 || f == 6)
            Bitmap::arrow(pt.b_, fw - 5, y + fh / 2, 7, Bitmap::Right, c);
    }
}

void paintProgress(Painter& pt, const Pal& p, bool vertical)
{
    const int fw = vertical ? 18 : 12, fh = vertical ? 12 : 18;
    const int bx = vertical ? fw : 0, by = vertical ? 0 : fh;
    Bitmap::box3D(pt.b_, 0, 0, fw - 1, fh - 1, p.light, p.dark, true, p.sunken);
    // The bar: the track's inside in the selection colour, lit from above.
    Bitmap::box3D(pt.b_, bx, by, bx + fw - 1, by + fh - 1, p.light, p.dark, true, p.sunken);
    Bitmap::box3D(pt.b_, bx + 2, by + 2, bx + fw - 3, by + fh - 3,
                  p.mix(p.select, p.light, 1, 2), p.mix(p.select, p.dark, 1, 2), false, p.select);
}

void paintSliderBack(Painter& pt, const Pal& p, bool vertical)
{
    // Horizontal slider: frames 18 x 22 stacked; vertical: 22 x 18 side by
    // side. A groove runs through the middle along the slider.
    for (int s = 0; s < 4; ++s) {
        const int x = vertical ? s * 22 : 0, y = vertical ? 0 : s * 22;
        // Held (selected): a deeper groove.
        const int outer = s == DISABLED ? p.shade(1, 3) : s == SELECTED ? p.dark : p.shade(2, 3);
        const int inner = s == DISABLED ? p.shade(1, 2) : p.dark;
        const int mid = s == FOCUSED ? p.focus : s == SELECTED ? p.select : s == DISABLED ? p.face : p.sunken;
        const int lines[4] = {outer, inner, mid, p.light};
        for (int i = 0; i < 4; ++i) {
            if (vertical)
                vline(pt.b_, x + 9 + i, y, y + 17, lines[i]);
            else
                hline(pt.b_, x, y + 9 + i, x + 17, lines[i]);
        }
    }
}

void paintSliderGrip(Painter& pt, bool vertical)
{
    for (int s = 0; s < 4; ++s) {
        if (vertical)
            pt.button(s * 22, 0, 22, 11, s);
        else
            pt.button(0, s * 22, 11, 22, s);
    }
}

void paintScrollTrack(Painter& pt, const Pal& p, bool horizontal)
{
    const int fw = horizontal ? 18 : 16, fh = 16;
    for (int s = 0; s < 4; ++s) {
        const int y = s * fh;
        const int fill = s == DISABLED ? p.face : s == SELECTED ? p.shade(1, 5) : p.mix(p.face, p.sunken, 1, 2);
        rectfill(pt.b_, 0, y, fw - 1, y + fh - 1, fill);
        // A fine line where the track meets its neighbour.
        if (horizontal)
            hline(pt.b_, 0, y, fw - 1, p.shade(1, 3));
        else
            vline(pt.b_, 0, y, y + fh - 1, p.shade(1, 3));
    }
}

void paintScrollGrip(Painter& pt, const Pal& p, int fw, int fh)
{
    for (int s = 0; s < 4; ++s) {
        const int y = s * fh;
        if (s == SELECTED) {
            // Held with the mouse: still raised, a little lighter.
            Bitmap::box3D(pt.b_, 0, y, fw - 1, y + fh - 1, p.light, p.dark, false, p.tint(1, 3));
            pt.roundCorners(0, y, fw, fh);
        } else {
            pt.button(0, y, fw, fh, s);
        }
    }
}

void paintGripOverlay(Painter& pt, const Pal& p, bool horizontal)
{
    // Three ridges across the grip's middle, so it is easy to see where to
    // take hold of it.
    for (int s = 0; s < 4; ++s) {
        const int y = s * 16;
        const int hi = p.light;
        const int lo = s == DISABLED ? p.shade(1, 2) : p.shade(2, 3);
        for (int i = 0; i < 3; ++i) {
            const int o = 5 + 2 * i;
            if (horizontal) {
                vline(pt.b_, o, y + 5, y + 10, hi);
                vline(pt.b_, o + 1, y + 5, y + 10, lo);
            } else {
                hline(pt.b_, 5, y + o, 10, hi);
                hline(pt.b_, 5, y + o + 1, 10, lo);
            }
        }
    }
}

void paintTabButton(Painter& pt, const Pal& p)
{
    const int fw = 18, fh = 18;
    for (int s = 0; s < 4; ++s) {
        const int y = s * fh;
        const bool front = s == SELECTED || s == FOCUSED;
        const int top = front ? y : y + 2;
        const int fill = front ? p.face : p.shade(1, 8);
        rectfill(pt.b_, 0, top, fw - 1, y + fh - 1, fill);
        hline(pt.b_, 1, top, fw - 2, s == FOCUSED ? p.focus : p.light);
        vline(pt.b_, 0, top + 1, y + fh - 1, p.light);
        vline(pt.b_, fw - 1, top + 1, y + fh - 1, p.dark);
        vline(pt.b_, fw - 2, top + 1, y + fh - 1, p.shade(2, 3));
        if (s == FOCUSED)
            hline(pt.b_, 1, top + 1, fw - 3, p.mix(p.focus, p.light, 1, 2));
        if (!front) // a tab behind: the panel's top edge runs under it
            hline(pt.b_, 0, y + fh - 1, fw - 1, p.light);
        if (s == DISABLED)
            rectfill(pt.b_, 2, top + 2, fw - 3, y + fh - 2, p.mix(fill, p.disable, 1, 6));
    }
}

// Window frame pieces. The border is four pixels wide: on the top and left a
// light line outside and a two-pixel band half way to the light colour; on
// the bottom and right a dark line outside and a two-pixel band a third of
// the way to the dark colour; then one pixel of face. Pieces are drawn
// nine-part with a tile of a third, so rows 1 and 2 of the 4-pixel pieces
// (columns 1 and 2 of the edges) must be alike: they are the bands. The left
// and right edges carry the window's four corners in their end parts.
void paintWinHorizontal(Painter& pt, const Pal& p, bool top)
{
    for (int f = 0; f < 2; ++f) {
        const int y = f * 4;
        const int rows[4] = {p.light, p.tint(1, 2), p.tint(1, 2), p.face};
        const int rowsBottom[4] = {p.face, p.shade(1, 3), p.shade(1, 3), p.dark};
        for (int r = 0; r < 4; ++r)
            hline(pt.b_, 0, y + r, 29, top ? rows[r] : rowsBottom[r]);
    }
}

void paintWinEdge(Painter& pt, const Pal& p, bool left)
{
    const int h = 72;
    const int hi = p.tint(1, 2), lo = p.shade(1, 3);
    for (int f = 0; f < 2; ++f) {
        BITMAP* b = pt.b_;
        const int x = f * 4;
        if (left) {
            vline(b, x, 0, h - 1, p.light);
            rectfill(b, x + 1, 0, x + 2, h - 1, hi);
            vline(b, x + 3, 0, h - 1, p.face);
            // Top-left: the top's light line and band run in.
            hline(b, x, 0, x + 3, p.light);
            rectfill(b, x + 1, 1, x + 3, 2, hi);
            // Bottom-left: the bottom's band and dark line run in.
            rectfill(b, x + 1, h - 3, x + 3, h - 2, lo);
            hline(b, x, h - 1, x + 3, p.dark);
        } else {
            vline(b, x, 0, h - 1, p.face);
            rectfill(b, x + 1, 0, x + 2, h - 1, lo);
            vline(b, x + 3, 0, h - 1, p.dark);
            // Top-right: the top's light line and band end here.
            hline(b, x, 0, x + 2, p.light);
            rectfill(b, x, 1, x, 2, hi);
            // Bottom-right: the bottom's band and dark line run in.
            rectfill(b, x, h - 3, x + 2, h - 2, lo);
            hline(b, x, h - 1, x + 3, p.dark);
        }
    }
}

void paintWinGrip(Painter& pt, const Pal& p)
{
    // The title bar, 18 pixels high: a soft vertical gradient, in the focus
    // colour while the window has the focus, in the face colour otherwise,
    // with a thin line under it.
    for (int f = 0; f < 2; ++f) {
        const int y = f * 18;
        const int hiC = f == 0 ? p.mix(p.focus, p.light, 2, 5) : p.tint(2, 5);
        const int loC = f == 0 ? p.mix(p.focus, p.dark, 1, 8) : p.shade(1, 8);
        for (int r = 0; r < 17; ++r)
            hline(pt.b_, 0, y + r, 29, p.mix(hiC, loC, r, 16));
        hline(pt.b_, 0, y + 17, 29, p.shade(1, 2));
    }
}

void paintWinText(Painter& pt, const Pal& p)
{
    // A rounded plate behind the title: two frames of 6 x 17.
    for (int f = 0; f < 2; ++f) {
        const int x = f * 6;
        const int fill = f == 0 ? p.mix(p.focus, p.light, 1, 2) : p.face;
        const int edge = f == 0 ? p.mix(p.focus, p.dark, 1, 2) : p.shade(1, 2);
        rectfill(pt.b_, x, 1, x + 5, 15, fill);
        hline(pt.b_, x + 1, 0, x + 4, edge);
        hline(pt.b_, x + 1, 16, x + 4, edge);
        vline(pt.b_, x, 1, 15, edge);
        vline(pt.b_, x + 5, 1, 15, edge);
    }
}

void paintBox(Painter& pt)
{
    // A group box: an etched frame whose top line runs through the middle of
    // the caption row; the inside and the area above are left clear.
    pt.etched(0, 6, 64, 58, false);
}

void paintBoxShadow(Painter& pt, const Pal& p)
{
    // A plain box with a dark outline and a drop shadow three pixels wide
    // down and to the right.
    const int near = p.mix(p.back, p.dark, 2, 3);
    const int far = p.mix(p.back, p.dark, 1, 3);
    rectfill(pt.b_, 3, 61, 63, 62, near);
    rectfill(pt.b_, 61, 3, 62, 62, near);
    hline(pt.b_, 3, 63, 63, far);
    vline(pt.b_, 63, 3, 63, far);
    rectfill(pt.b_, 0, 0, 60, 60, p.face);
    rect(pt.b_, 0, 0, 60, 60, p.dark);
}

// Plain fills, boxes and lines.

void paintClearBack(Painter& pt, const Pal& p)
{
    clear_to_color(pt.b_, p.back);
}

void paintComboButton(Painter& pt, const Pal&)
{
    for (int s = 0; s < 4; ++s)
        pt.glyph([](BITMAP* bm, int ox, int oy, int c) { Bitmap::arrow(bm, ox, oy, 7, Bitmap::Down, c); },
                 8, s * 20 + 10, s);
}

void paintRaisedBox(Painter& pt, const Pal& p)
{
    const int x2 = pt.b_->w - 1, y2 = pt.b_->h - 1;
    Bitmap::box3D(pt.b_, 0, 0, x2, y2, p.light, p.dark, false, p.face);
}

void paintMenuButton(Painter& pt, const Pal& p)
{
    rectfill(pt.b_, 0, 12, 17, 23, p.select);
}

void paintPanelEtched(Painter& pt, const Pal& p, bool ridge)
{
    clear_to_color(pt.b_, p.face);
    pt.etched(0, 0, 64, 64, ridge);
}

void paintPanelSunken(Painter& pt, const Pal& p)
{
    Bitmap::box3D(pt.b_, 0, 0, 63, 63, p.light, p.dark, true, p.sunken);
}

void paintSeparator(Painter& pt, const Pal& p, bool horizontal)
{
    if (horizontal) {
        hline(pt.b_, 0, 0, 11, p.shade(2, 3));
        hline(pt.b_, 0, 1, 11, p.light);
    } else {
        vline(pt.b_, 0, 0, 11, p.shade(2, 3));
        vline(pt.b_, 1, 0, 11, p.light);
    }
}

void paintWindow(Painter& pt, const Pal& p)
{
    clear_to_color(pt.b_, p.face);
}

// The painter of each named bitmap, by slot.
using SlotPainter = void (*)(Painter&, const Pal&);
constexpr auto kPainters = [] {
    std::array<SlotPainter, Skin::NAMED_BITMAPS> t{};
    t[Skin::BOX] = [](Painter& pt, const Pal&) { paintBox(pt); };
    t[Skin::BOX_SHADDOW] = paintBoxShadow;
    t[Skin::BUTTON] = [](Painter& pt, const Pal&) { paintButtonStrip(pt, 18, 18); };
    t[Skin::CHECKBOX] = [](Painter& pt, const Pal& p) { paintCheck(pt, p, false); };
    t[Skin::CLEAR_BACK] = paintClearBack;
    t[Skin::COMBO_BUTTON] = paintComboButton;
    t[Skin::HSLIDER_BACK] = [](Painter& pt, const Pal& p) { paintSliderBack(pt, p, false); };
    t[Skin::HSLIDER_GRIP] = [](Painter& pt, const Pal&) { paintSliderGrip(pt, false); };
    t[Skin::ICONEXIT] = [](Painter& pt, const Pal&) { paintIcon(pt, Skin::ICONEXIT); };
    t[Skin::ICONMAX] = [](Painter& pt, const Pal&) { paintIcon(pt, Skin::ICONMAX); };
    t[Skin::ICONMIN] = [](Painter& pt, const Pal&) { paintIcon(pt, Skin::ICONMIN); };
    t[Skin::ICONRESTORE] = [](Painter& pt, const Pal&) { paintIcon(pt, Skin::ICONRESTORE); };
    t[Skin::LIST] = paintList;
    t[Skin::MENU_BACK] = paintRaisedBox;
    t[Skin::MENU_BUTTON] = paintMenuButton;
    t[Skin::MENU_ITEM] = paintMenuItem;
    t[Skin::PANEL_GROOVE] = [](Painter& pt, const Pal& p) { paintPanelEtched(pt, p, false); };
    t[Skin::PANEL_RAISED] = paintRaisedBox;
    t[Skin::PANEL_RIDGE] = [](Painter& pt, const Pal& p) { paintPanelEtched(pt, p, true); };
    t[Skin::PANEL_SUNKEN] = paintPanelSunken;
    t[Skin::PROGRESSH] = [](Painter& pt, const Pal& p) { paintProgress(pt, p, false); };
    t[Skin::PROGRESSV] = [](Painter& pt, const Pal& p) { paintProgress(pt, p, true); };
    t[Skin::RADIO] = [](Painter& pt, const Pal& p) { paintCheck(pt, p, true); };
    t[Skin::SCROLL_DOWN] = [](Painter& pt, const Pal&) { paintArrowButtons(pt, Bitmap::Down); };
    t[Skin::SCROLL_HBACK] = [](Painter& pt, const Pal& p) { paintScrollTrack(pt, p, true); };
    t[Skin::SCROLL_HGRIP] = [](Painter& pt, const Pal& p) { paintScrollGrip(pt, p, 18, 16); };
    t[Skin::SCROLL_HGRIPOVERLAY] = [](Painter& pt, const Pal& p) { paintGripOverlay(pt, p, true); };
    t[Skin::SCROLL_LEFT] = [](Painter& pt, const Pal&) { paintArrowButtons(pt, Bitmap::Left); };
    t[Skin::SCROLL_RIGHT] = [](Painter& pt, const Pal&) { paintArrowButtons(pt, Bitmap::Right); };
    t[Skin::SCROLL_UP] = [](Painter& pt, const Pal&) { paintArrowButtons(pt, Bitmap::Up); };
    t[Skin::SCROLL_VBACK] = [](Painter& pt, const Pal& p) { paintScrollTrack(pt, p, false); };
    t[Skin::SCROLL_VGRIP] = [](Painter& pt, const Pal& p) { paintScrollGrip(pt, p, 16, 12); };
    t[Skin::SCROLL_VGRIPOVERLAY] = [](Painter& pt, const Pal& p) { paintGripOverlay(pt, p, false); };
    t[Skin::SEPARATORH] = [](Painter& pt, const Pal& p) { paintSeparator(pt, p, true); };
    t[Skin::SEPARATORV] = [](Painter& pt, const Pal& p) { paintSeparator(pt, p, false); };
    t[Skin::TAB_BUTTON] = paintTabButton;
    t[Skin::TAB_WINDOW] = paintRaisedBox;
    t[Skin::VSLIDER_BACK] = [](Painter& pt, const Pal& p) { paintSliderBack(pt, p, true); };
    t[Skin::VSLIDER_GRIP] = [](Painter& pt, const Pal&) { paintSliderGrip(pt, true); };
    t[Skin::WINBOTTOM] = [](Painter& pt, const Pal& p) { paintWinHorizontal(pt, p, false); };
    t[Skin::WINDOW] = paintWindow;
    t[Skin::WINGRIP] = paintWinGrip;
    t[Skin::WINLEFT] = [](Painter& pt, const Pal& p) { paintWinEdge(pt, p, true); };
    t[Skin::WINRIGHT] = [](Painter& pt, const Pal& p) { paintWinEdge(pt, p, false); };
    t[Skin::WINTEXT] = paintWinText;
    t[Skin::WINTOP] = [](Painter& pt, const Pal& p) { paintWinHorizontal(pt, p, true); };
    return t;
}();
static_assert(std::find(kPainters.begin(), kPainters.end(), nullptr) == kPainters.end(),
              "every named bitmap has a painter");

} // namespace

LookSize builtinBitmapSize(int slot)
{
    if (slot < 0 || slot >= Skin::NAMED_BITMAPS)
        return LookSize{0, 0, 0, 0, 0, 0};
    return kSizes[slot];
}

bool paintBuiltinBitmap(int slot, const SkinColors& colors, Bitmap& out)
{
    out.release();
    if (slot < 0 || slot >= Skin::NAMED_BITMAPS)
        return false;
    const LookSize& size = kSizes[slot];
    if (!out.create(size.w, size.h, Bitmap::Memory))
        return false;
    out.setTile(size.tileW, size.tileH);
    BITMAP* b = out.bitmap();
    const Pal pal = makePal(colors, bitmap_color_depth(b));
    clear_to_color(b, pal.mask);
    Painter painter(b, pal);
    kPainters[static_cast<std::size_t>(slot)](painter, pal);
    return true;
}

bool paintBuiltinCursor(Bitmap& out, int& focusX, int& focusY)
{
    // 'X' outline, 'o' body, '.' clear.
    static const char* const shape[] = {
        "X..........",
        "XX.........",
        "XoX........",
        "XooX.......",
        "XoooX......",
        "XooooX.....",
        "XoooooX....",
        "XooooooX...",
        "XoooooooX..",
        "XooooooooX.",
        "XoooooXXXXX",
        "XooXooX....",
        "XoX.XooX...",
        "XX..XooX...",
        "X....XooX..",
        ".....XooX..",
        "......XooX.",
        "......XooX.",
        ".......XX..",
    };
    constexpr int rows = sizeof(shape) / sizeof(shape[0]);
    constexpr int cols = 11;
    out.release();
    if (!out.create(cols, rows, Bitmap::Memory))
        return false;
    BITMAP* b = out.bitmap();
    const int mask = bitmap_mask_color(b);
    const int outline = makecol_depth(bitmap_color_depth(b), 0, 0, 0);
    const int body = makecol_depth(bitmap_color_depth(b), 255, 255, 255);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            putpixel(b, x, y, shape[y][x] == 'X' ? outline : shape[y][x] == 'o' ? body : mask);
    focusX = 0;
    focusY = 0;
    return true;
}

// ---- the skin's side ----

void Skin::generateDefaultBitmaps()
{
    for (int slot = 0; slot < NAMED_BITMAPS; ++slot)
        generateDefaultBitmap(slot);
}

void Skin::generateDefaultBitmap(int slot)
{
    if (slot < 0 || slot >= NAMED_BITMAPS)
        return;
    Bitmap painted;
    if (!paintBuiltinBitmap(slot, colors(), painted)) {
        bitmap(slot).release();
        return;
    }
    // With video memory in use (and a screen to have it), the look lives
    // there like loaded skin bitmaps; where it does not fit it stays in
    // memory.
    if (theSettings.useVideoMemory && screen) {
        Bitmap video;
        if (video.copy(painted, true, Bitmap::Video))
            painted = std::move(video);
    }
    bitmap(slot) = std::move(painted);
}
