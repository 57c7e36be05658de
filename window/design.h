#pragma once

// The window's design as data: where each of its sixteen controls lies on the client
// area, in twips (1440 to the inch) relative to the area's top left, the colours they
// are drawn in, and the one scale at which the layout is drawn. The design maps 15
// twips to a pixel; where the toolkit's font needs more room for a control's content,
// the whole layout grows by one factor, so that nothing moves apart. No widget lives
// here: whether a control's content fits the part of its place that shows is asked of
// whoever builds the window.

#include <QColor>
#include <QRect>

#include <array>
#include <functional>
#include <string_view>

/// Colours A (the window's, its labels' and its button's) and B (the lists'), and the
/// colour of the text and the lines drawn on them, whatever the desktop's palette.
inline constexpr QColor kColourA{255, 192, 128};
inline constexpr QColor kColourB{255, 224, 192};
inline constexpr QColor kTextOnColours{0, 0, 0};

/// A place in twips: left, top, width, height.
struct TwipsPlace {
    int left, top, width, height;
};

/// One control of the design, by its name, and its place on the client area.
struct DesignedControl {
    std::string_view name;
    TwipsPlace place;
};

/// The client area, which the controls lie on.
inline constexpr TwipsPlace kClientAreaPlace{0, 0, 9945, 8055};

/// The controls in the design's order, which is also the order they are drawn in,
/// one over the other where they overlap, but for the outline and the lists.
inline constexpr std::array<DesignedControl, 16> kDesignedControls{{
    {"Shape1", {480, 120, 9015, 615}},
    {"Label5", {720, 240, 8655, 495}},
    {"Label9", {1200, 1200, 975, 375}},
    {"TextE", {2760, 1200, 4935, 375}},
    {"Label10", {1200, 1800, 975, 375}},
    {"TextO", {2760, 1800, 4935, 375}},
    {"Label4", {1200, 2400, 1455, 375}},
    {"Combo1", {2760, 2400, 1335, 315}},
    {"Label7", {2520, 3000, 3615, 375}},
    {"List2", {2400, 3360, 3975, 1230}},
    {"Label2", {6600, 4200, 1575, 375}},
    {"Label8", {2520, 4920, 3615, 375}},
    {"List3", {2400, 5160, 3975, 2595}},
    {"Label1", {840, 5760, 1695, 375}},
    {"Command3", {6840, 6360, 1215, 495}},
    {"Label3", {6600, 7320, 1095, 375}},
}};

/// The place in pixels at `scale` times 15 twips to the pixel. Edges are rounded, not
/// sizes, so that edges that meet in twips meet in pixels.
QRect toPixels(const TwipsPlace& place, double scale);

/// The part of the control that shows at `scale`: its place less the bottom that a
/// list lying over it hides.
QRect shownPart(const DesignedControl& control, double scale);

/// Whether a control's content (a caption, a button's text) can be read whole in the
/// part of its place that shows.
using ContentFits = std::function<bool(std::string_view control, const QRect& shown)>;

/// The layout's scale: the first of 1, 1.05, 1.1 and so on up to 3 at which `fits`
/// holds for every control, or 3.05 where none does.
double layoutScale(const ContentFits& fits);
