// The transition animator each widget keeps (gui/Widget.h) to play the
// skin's transitions as it opens or changes its look.
#pragma once

#include <allegro.h>

// Transition animation of a widget's image.
//
// An animator keeps two images of the same size: the old one (what was on
// screen when the transition started) and the new one (the widget's new look,
// painted into newImage() by the widget). A transition lasts a number of
// logic ticks; its counter starts at 1 and a transition is in progress while
// the counter is below the number of ticks. Each frame copies the whole old
// image into the canvas and draws parts of the new image over it, chosen by
// the transition kind (0 to 26: the table of transitions in Animator.cpp).
class Animator {
public:
    // Number of transition kinds; kinds outside 0..count-1 show the old image.
    static constexpr int kindCount = 27;

    Animator() = default;
    virtual ~Animator();
    Animator(const Animator&) = delete;
    Animator& operator=(const Animator&) = delete;

    // Starts a transition on `canvas`: keeps a copy of it as the old image,
    // makes an empty new image of the same size and colour depth, turns
    // `lengthMs` into lengthMs * ticksPerSecond / 1000 ticks (at least 1) and
    // sets the counter to 1. False (and nothing started) when the canvas is
    // missing or a bitmap cannot be made.
    virtual bool start(BITMAP* canvas, int lengthMs, int ticksPerSecond);

    // Raises the counter by one, up to the number of ticks. True when this
    // step made the transition end.
    virtual bool step();

    // Paints the current frame of transition `kind` into the canvas.
    virtual void paintFrame(BITMAP* canvas, int kind) const;

    // Copies the whole new image into `target` at (x, y).
    virtual void finish(BITMAP* target, int x, int y) const;

    // Back to the initial state: counter 1, no transition, images dropped.
    virtual void reset();

    bool started() const { return oldImage_ != nullptr; }
    bool inProgress() const { return oldImage_ != nullptr && counter_ < ticks_; }
    int counter() const { return counter_; }
    int ticks() const { return ticks_; }
    BITMAP* oldImage() const { return oldImage_; }
    BITMAP* newImage() const { return newImage_; }

    // One frame of transition `kind` at counter `tick` of `ticks`: the whole
    // old image goes into the canvas at (0, 0), then parts of the new one
    // over it. Both images must have the same size; the canvas clips.
    static void paintTransition(BITMAP* canvas, BITMAP* oldImage, BITMAP* newImage,
                                int kind, int tick, int ticks);

    // Length in milliseconds to ticks at the given logic rate, at least 1.
    static int lengthToTicks(int lengthMs, int ticksPerSecond);

private:
    void dropImages();

    BITMAP* oldImage_ = nullptr;
    BITMAP* newImage_ = nullptr;
    int ticks_ = 0;
    int counter_ = 1;
};
