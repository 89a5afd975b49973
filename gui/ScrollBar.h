// The scroll range and the scroll bar built on it; the list box
// (gui/ListBox.h) uses a scroll bar.
#pragma once

#include <memory>

#include "gui/Dialog.h"

class Button;

// A numeric range with a position and a step, all double precision.
// setPosition clamps to [min, max]; setMin and setMax only store their value
// and leave the position alone.
class ScrollRange {
public:
    ScrollRange() = default;
    virtual ~ScrollRange();

    virtual void setMin(double v);
    virtual void setMax(double v);
    // setMin, then setMax.
    virtual void setRange(double min, double max);
    // Clamped to [min, max] (below min gives min, above max gives max).
    virtual void setPosition(double v);
    virtual void setStep(double v);
    // setRange, then setPosition, then setStep.
    virtual void setAll(double min, double max, double position, double step);
    // position + step, at most max.
    virtual void increment();
    // position - step, at least min.
    virtual void decrement();
    virtual double min() const;
    virtual double max() const;
    // max - min.
    virtual double range() const;
    virtual double position() const;
    virtual double step() const;

protected:
    double min_ = 0;
    double max_ = 100;
    double position_ = 0;
    double step_ = 1;
};

// A scroll bar: a small dialog of a track, two arrow buttons and a draggable
// grip over a ScrollRange. Arrow clicks (repeating while held), grip drags,
// keys on the grip (Home, End, Page Up/Down and the arrows of the bar's
// orientation) and wheel steps move the position; every change the user
// makes plays the scroll sound and is reported to the parent dialog as
// MSG_SCROLL with the new position as an integer. Changes made by the owner
// (moveTo, setSizes, setAll ...) report nothing.
//
// Children, in order: track, decrease arrow, grip, increase arrow. Neither
// the bar nor its buttons are reached by Tab.
class ScrollBar : public Dialog, public ScrollRange {
public:
    enum Orientation { Vertical = 0, Horizontal = 1 };

    ScrollBar();
    ~ScrollBar() override;

    // Lays the pieces out from the sizes of the skin bitmaps (nothing when the
    // track bitmap is missing): a vertical bar takes the track bitmap's width,
    // a horizontal one the height of its frame. Then the dialog's own update.
    void updateChildPositions() override;
    // Arrow activations, grip keys and drags (MSG_SCROLL from the grip) and
    // wheel steps; then the dialog's handling (which passes the message on to
    // the parent).
    void handleEvent(Widget* widget, int message, int argument1 = 0, int argument2 = 0) override;
    void msgSkinChanged() override;
    bool msgWantTab() override;

    // The range operation, then placeGrip and redraw.
    void increment() override;
    void decrement() override;

    // Stores the orientation, gives the pieces their skin bitmaps and lays
    // the bar out.
    virtual void setOrientation(int orientation);
    int orientation() const { return orientation_; }

    using Widget::setup;
    // resize, place, setAll(0, total, position, 1), setOrientation,
    // setSizes(total, visible). key and flags are not used.
    void setup(int x, int y, int w, int h, int key, std::uint32_t flags,
               int total, int visible, int position, int orientation);

    // Fits the range (0 to total - visible, or 0 to 0 when everything is
    // visible) and the grip's length (visible / total of the free length,
    // at least 10 pixels) to an amount `total` of which `visible` is shown;
    // the page size becomes `visible`. The position is not re-clamped.
    void setSizes(int total, int visible);
    // setPosition (clamped), placeGrip, redraw. Notifies nothing.
    void moveTo(double value);
    // Puts the grip where the position says.
    void placeGrip();

    int pageSize() const { return pageSize_; }

    // The pieces.
    Widget& track();
    Button& decreaseButton();
    Button& increaseButton();
    Button& grip();

    // Length of the grip along the bar, and the free length the grip moves
    // in (the bar's length less both arrows).
    int gripLength() const;
    int freeLength() const;

private:
    // Moves to n and reports it, when n differs from the position as an
    // integer.
    void userMove(double target);
    bool arrowsPresent() const;
    const Bitmap& pieceBitmap(int slot) const;

    class Track;
    class Grip;
    std::unique_ptr<Track> track_;
    std::unique_ptr<Button> decreaseButton_;
    std::unique_ptr<Grip> grip_;
    std::unique_ptr<Button> increaseButton_;
    int pageSize_ = 1;
    int orientation_ = Vertical;
};
