// The part of a dialog's frame that a left-button drag takes hold of: the
// whole dialog, or a corner or edge that resizes it. Windows find it from
// their frame (gui/Window.cpp); the dialog drags by it (gui/FrameDrag.h,
// gui/DialogMouse.cpp).
#pragma once

enum class DragMode {
    None = 0,
    Move = 1,
    TopLeft = 2,
    TopRight = 3,
    BottomLeft = 4,
    BottomRight = 5,
    Top = 6,
    Bottom = 7,
    Left = 8,
    Right = 9,
};

// A corner or edge: the drag resizes.
constexpr bool resizes(DragMode m) { return m >= DragMode::TopLeft && m <= DragMode::Right; }
constexpr bool movesLeftEdge(DragMode m)
{
    return m == DragMode::TopLeft || m == DragMode::BottomLeft || m == DragMode::Left;
}
constexpr bool movesRightEdge(DragMode m)
{
    return m == DragMode::TopRight || m == DragMode::BottomRight || m == DragMode::Right;
}
constexpr bool movesTopEdge(DragMode m)
{
    return m == DragMode::TopLeft || m == DragMode::TopRight || m == DragMode::Top;
}
constexpr bool movesBottomEdge(DragMode m)
{
    return m == DragMode::BottomLeft || m == DragMode::BottomRight || m == DragMode::Bottom;
}
