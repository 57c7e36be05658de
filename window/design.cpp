#include "design.h"

#include <algorithm>
#include <cmath>

namespace {

// 15 twips to the pixel at 96 dots per inch; Qt scales pixels for denser screens.
constexpr double kTwipsPerPixel = 15;

constexpr TwipsPlace placeOf(std::string_view name) {
    for (const DesignedControl& control : kDesignedControls) {
        if (control.name == name) {
            return control.place;
        }
    }
    return {};
}

// The lists lie over the bottoms of their headings.
constexpr TwipsPlace kLists[] = {placeOf("List2"), placeOf("List3")};

}  // namespace

QRect toPixels(const TwipsPlace& place, double scale) {
    const double pixelsPerTwip = scale / kTwipsPerPixel;
    const int left = static_cast<int>(std::lround(place.left * pixelsPerTwip));
    const int top = static_cast<int>(std::lround(place.top * pixelsPerTwip));
    const int right = static_cast<int>(std::lround((place.left + place.width) * pixelsPerTwip));
    const int bottom = static_cast<int>(std::lround((place.top + place.height) * pixelsPerTwip));
    return {left, top, right - left, bottom - top};
}

QRect shownPart(const DesignedControl& control, double scale) {
    QRect shown = toPixels(control.place, scale);
    for (const TwipsPlace& list : kLists) {
        const QRect cover = toPixels(list, scale);
        if (cover.intersects(shown) && cover.top() > shown.top()) {
            shown.setBottom(cover.top() - 1);
        }
    }
    return shown;
}

double layoutScale(const ContentFits& fits) {
    const auto allFit = [&](double scale) {
        return std::all_of(kDesignedControls.begin(), kDesignedControls.end(),
                           [&](const DesignedControl& control) {
                               return fits(control.name, shownPart(control, scale));
                           });
    };
    double scale = 1.0;
    while (!allFit(scale) && scale < 3.0) {
        scale += 0.05;
    }
    return scale;
}
