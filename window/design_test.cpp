#include "design.h"

#include <QRect>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::string describe(const QRect& rect) {
    return std::to_string(rect.width()) + "x" + std::to_string(rect.height()) + " at " +
           std::to_string(rect.x()) + "," + std::to_string(rect.y());
}

TEST(Design, EachControlLiesWhereTheDesignPutsItAtFifteenTwipsToThePixel) {
    // The design's places in twips, divided by 15.
    const std::map<std::string, QRect> expected = {
        {"Shape1", {32, 8, 601, 41}},     {"Label5", {48, 16, 577, 33}},
        {"Label9", {80, 80, 65, 25}},     {"TextE", {184, 80, 329, 25}},
        {"Label10", {80, 120, 65, 25}},   {"TextO", {184, 120, 329, 25}},
        {"Label4", {80, 160, 97, 25}},    {"Combo1", {184, 160, 89, 21}},
        {"Label7", {168, 200, 241, 25}},  {"List2", {160, 224, 265, 82}},
        {"Label2", {440, 280, 105, 25}},  {"Label8", {168, 328, 241, 25}},
        {"List3", {160, 344, 265, 173}},  {"Label1", {56, 384, 113, 25}},
        {"Command3", {456, 424, 81, 33}}, {"Label3", {440, 488, 73, 25}},
    };
    std::map<std::string, QRect> placed;
    for (const DesignedControl& control : kDesignedControls) {
        placed[std::string(control.name)] = toPixels(control.place, 1);
    }
    EXPECT_EQ(placed, expected);
    EXPECT_EQ(toPixels(kClientAreaPlace, 1), QRect(0, 0, 663, 537));

    // At a larger scale the edges are rounded, not the sizes: the instructions end
    // where their outline does, on the same pixel, and the lists share their edges.
    const auto at = [](std::string_view name, double scale) {
        for (const DesignedControl& control : kDesignedControls) {
            if (control.name == name) {
                return toPixels(control.place, scale);
            }
        }
        ADD_FAILURE() << "no control " << name;
        return QRect();
    };
    EXPECT_EQ(at("Shape1", 1.05), QRect(34, 8, 631, 43)) << describe(at("Shape1", 1.05));
    EXPECT_EQ(at("Label5", 1.05), QRect(50, 17, 606, 34)) << describe(at("Label5", 1.05));
    EXPECT_EQ(at("List2", 1.05), QRect(168, 235, 278, 86)) << describe(at("List2", 1.05));
    EXPECT_EQ(at("List3", 1.05).left(), 168);
    EXPECT_EQ(at("List3", 1.05).right(), at("List2", 1.05).right());
    EXPECT_EQ(toPixels(kClientAreaPlace, 2), QRect(0, 0, 1326, 1074));
}

TEST(Design, TheLayoutGrowsByOneScaleUntilWhatEachControlShowsFits) {
    // Where everything fits, the design's own scale; every control is asked about,
    // and a heading only about the part of it above the list that lies over it.
    std::map<std::string, QRect> asked;
    const double fitting = layoutScale([&](std::string_view name, const QRect& shown) {
        asked[std::string(name)] = shown;
        return true;
    });
    EXPECT_EQ(fitting, 1.0);
    EXPECT_EQ(asked.size(), 16U);
    EXPECT_EQ(asked["Label7"], QRect(168, 200, 241, 24));  // List2 hides its last row
    EXPECT_EQ(asked["Label8"], QRect(168, 328, 241, 16));  // List3 hides 9 rows
    EXPECT_EQ(asked["Label1"], QRect(56, 384, 113, 25));   // List3 starts above it: whole

    // The first step of 0.05 at which the one control that needs more room has it.
    const struct {
        const char* control;
        int width, height;  // what its content needs
        double scale;
    } needs[] = {
        {"Label4", 110, 0, 1.15},     // 107 pixels wide at 1.1, 112 at 1.15
        {"Label7", 0, 25, 1.05},      // 24 rows above List2 at 1, 25 at 1.05
        {"Command3", 100, 0, 1.25},   // 97 pixels wide at 1.2, 101 at 1.25
        {"Label9", 10'000, 0, 3.05},  // never: the steps end past 3
    };
    for (const auto& need : needs) {
        const double scale = layoutScale([&](std::string_view name, const QRect& shown) {
            return name != need.control ||
                   (shown.width() >= need.width && shown.height() >= need.height);
        });
        EXPECT_NEAR(scale, need.scale, 1e-9) << need.control;
    }
}

}  // namespace
