#include "screen_fit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ScreenFit, OnEachScreenTheFrameLiesWithinTheRoomAndOnlyWhatMustScrollDoes) {
    // The design at 15 twips to the pixel, a frame of 5 pixels a side and a title
    // bar of 30, and scroll bars 16 pixels across.
    const QSize design(663, 537);
    const QSize frame(10, 40);
    const struct {
        const char* screen;
        QRect available;
        double pixelRatio;
        QSize design;
        QSize size;
        QPoint frameTopLeft;
    } screens[] = {
        // Room for the design: its size, centred, frame and all.
        {"1280x1024", {0, 0, 1280, 1024}, 1, design, {663, 537}, {303, 223}},
        {"beside another, under a panel",
         {1920, 30, 1366, 738},
         1,
         design,
         {663, 537},
         {2266, 110}},
        // Too short: as high as the room, and a scroll bar wider.
        {"short", {0, 0, 1024, 500}, 1, design, {679, 460}, {167, 0}},
        // Too narrow: as wide as the room, and a scroll bar higher.
        {"narrow", {0, 0, 600, 1000}, 1, design, {590, 553}, {0, 203}},
        // Too narrow, and the scroll bar across leaves it too short; too short, and
        // the scroll bar down leaves it too narrow: the whole room.
        {"narrow, then short", {0, 0, 600, 585}, 1, design, {590, 545}, {0, 0}},
        {"short, then narrow", {0, 0, 683, 500}, 1, design, {673, 460}, {0, 0}},
        // A pixel of the window is 1.25 of the screen's: a pixel less each way.
        {"1366x768 at 125%", {0, 0, 1093, 614}, 1.25, {900, 700}, {916, 573}, {84, 0}},
        {"1920x1080 at 200%", {0, 0, 960, 540}, 2, {1326, 1074}, {950, 500}, {0, 0}},
        // Smaller than the smallest window: that, centred, above the screen's top.
        {"tiny", {0, 0, 200, 150}, 1, design, {190, 130}, {0, -10}},
    };
    for (const auto& screen : screens) {
        const WindowFit fit = fitOnScreen({.available = screen.available,
                                           .pixelRatio = screen.pixelRatio,
                                           .frame = frame,
                                           .design = screen.design,
                                           .scrollBar = 16,
                                           .smallest = {120, 130}});
        EXPECT_EQ(fit.size, screen.size)
            << screen.screen << ": " << fit.size.width() << "x" << fit.size.height();
        EXPECT_EQ(fit.frameTopLeft, screen.frameTopLeft)
            << screen.screen << ": " << fit.frameTopLeft.x() << "," << fit.frameTopLeft.y();
    }
}

}  // namespace
