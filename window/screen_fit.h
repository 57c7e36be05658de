#pragma once

// Where the window opens on a screen, worked out from sizes alone: at the design's
// size, centred, where the screen less its panels has room for it, frame and title
// bar included; elsewhere as large as that room allows, its contents scrolling, with
// a scroll bar taking room from the other direction. Every size is in the window's
// pixels.

#include <QPoint>
#include <QRect>
#include <QSize>

/// What the window is fitted to.
struct ScreenRoom {
    QRect available;        // the screen less its panels
    double pixelRatio = 1;  // the screen's pixels to one of the window's
    QSize frame;            // what the frame adds to the window: borders and title bar
    QSize design;           // the client area at the design's size
    int scrollBar = 0;      // the room a scroll bar takes across
    QSize smallest;         // the smallest the window may be, frame aside
};

/// The window's size within its frame and where its frame's top left goes.
struct WindowFit {
    QSize size;
    QPoint frameTopLeft;
};

/// The largest window up to the design's size (and a scroll bar's room in a
/// direction that scrolls) whose frame lies within `room.available`, centred there.
/// Where a window's pixel is a fraction of the screen's, the window is a pixel
/// smaller each way, which keeps the frame on the screen however the toolkit rounds.
/// The room is never taken as smaller than `room.smallest`, even where the frame then
/// leaves the screen.
WindowFit fitOnScreen(const ScreenRoom& room);
