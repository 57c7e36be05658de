#include "form1.h"
#include "form1_fixture.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::string describe(const QRect& rect) {
    return std::to_string(rect.width()) + "x" + std::to_string(rect.height()) + " at " +
           std::to_string(rect.x()) + "," + std::to_string(rect.y());
}

// The window as a user meets it on a screen: what shows of it, and where.
class OnScreen {
public:
    explicit OnScreen(const QTemporaryDir& directory) : form(systemPath(directory)) {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    QWidget* control(const char* name) {
        auto* widget = form.findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QScrollArea* scroller() { return form.findChild<QScrollArea*>(); }
    bool scrolls() {
        return scroller()->horizontalScrollBar()->isVisible() ||
               scroller()->verticalScrollBar()->isVisible();
    }

    // Where the control shows, in the coordinates of the part of the window that
    // shows the controls.
    QRect shown(const QWidget* widget) {
        return {widget->mapTo(scroller()->viewport(), QPoint(0, 0)), widget->size()};
    }
    // Whether the whole of the control shows in the window, or as much of it from
    // its start as the window can show: its top left, or right to left its top right.
    ::testing::AssertionResult inView(const char* name) {
        const QRect place = shown(control(name));
        const QRect view = scroller()->viewport()->rect();
        QRect start(place.topLeft(), place.size().boundedTo(view.size()));
        if (form.isRightToLeft()) {
            start.moveRight(place.right());
        }
        if (view.contains(start)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << name << " shows at " << describe(place) << ", outside " << describe(view);
    }

    // Every control of the design, by name, where it lies among the others.
    std::map<std::string, QRect> places() {
        std::map<std::string, QRect> places;
        for (const char* name :
             {"Shape1", "Label5", "Label9", "TextE", "Label10", "TextO", "Label4", "Combo1",
              "Label7", "List2", "Label2", "Label8", "List3", "Label1", "Command3", "Label3"}) {
            places[name] = control(name)->geometry();
        }
        return places;
    }

    void resize(const QSize& size) {
        form.resize(size);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.size() == size; }, 5000))
            << "asked for " << size.width() << "x" << size.height() << ", last seen "
            << form.width() << "x" << form.height();
        QApplication::processEvents();
    }

    Form1 form;
};

// Sets a font for the whole program for as long as it lives.
class ProgramFont {
public:
    explicit ProgramFont(double scale) : m_before(QApplication::font()) {
        QFont font = m_before;
        font.setPointSizeF(m_before.pointSizeF() * scale);
        QApplication::setFont(font);
    }
    ~ProgramFont() { QApplication::setFont(m_before); }
    ProgramFont(const ProgramFont&) = delete;
    ProgramFont& operator=(const ProgramFont&) = delete;

private:
    QFont m_before;
};

// Lays the program out in a direction for as long as it lives.
class ProgramDirection {
public:
    explicit ProgramDirection(Qt::LayoutDirection direction)
        : m_before(QApplication::layoutDirection()) {
        QApplication::setLayoutDirection(direction);
    }
    ~ProgramDirection() { QApplication::setLayoutDirection(m_before); }
    ProgramDirection(const ProgramDirection&) = delete;
    ProgramDirection& operator=(const ProgramDirection&) = delete;

private:
    Qt::LayoutDirection m_before;
};

TEST(Form1OnScreen, WhereTheScreenHasRoomItOpensAtTheDesignsSizeCentredAndWhole) {
    const QTemporaryDir directory;
    OnScreen screen(directory);
    QApplication::processEvents();
    // The design's proportions, at 15 twips to the pixel or larger.
    const QSize size = screen.form.size();
    EXPECT_NEAR(size.height(), size.width() * 8055.0 / 9945.0, 1);
    EXPECT_GE(size.width(), 9945 / 15);
    const QRect frame = screen.form.frameGeometry();
    const QRect available = screen.form.screen()->availableGeometry();
    EXPECT_NEAR(frame.center().x(), available.center().x(), 1);
    EXPECT_NEAR(frame.center().y(), available.center().y(), 1);
    EXPECT_FALSE(screen.scrolls());
    for (const auto& [name, place] : screen.places()) {
        EXPECT_TRUE(screen.inView(name.c_str()));
    }
}

TEST(Form1OnScreen, OnAnyScreenItsFrameLiesOnTheScreenAndItScrollsOnlyWhereItMust) {
    const QTemporaryDir directory;
    OnScreen screen(directory);
    QApplication::processEvents();
    const QRect available = screen.form.screen()->availableGeometry();
    const QRect frame = screen.form.frameGeometry();
    EXPECT_TRUE(available.contains(frame)) << describe(frame) << " on " << describe(available);
    // The room for the window within its frame, what its controls need, and what a
    // scroll bar takes of it.
    const QSize room = available.size() - (frame.size() - screen.form.size());
    const QSize design = screen.scroller()->widget()->minimumSize();
    const int bar = screen.scroller()->verticalScrollBar()->sizeHint().width();
    const bool across = screen.scroller()->horizontalScrollBar()->isVisible();
    const bool down = screen.scroller()->verticalScrollBar()->isVisible();
    // A scroll bar only where the screen is too small; and there the window as
    // large as the screen allows (but for a pixel where a pixel of the window is a
    // fraction of the screen's).
    if (design.width() + bar <= room.width()) {
        EXPECT_FALSE(across) << design.width() << " wide in " << room.width();
    }
    if (design.height() + bar <= room.height()) {
        EXPECT_FALSE(down) << design.height() << " high in " << room.height();
    }
    if (across) {
        EXPECT_NEAR(frame.width(), available.width(), 1);
    }
    if (down) {
        EXPECT_NEAR(frame.height(), available.height(), 1);
    }
    // Tab to Solve shows it.
    screen.control("List3")->setFocus();
    QTest::keyClick(screen.control("List3"), Qt::Key_Tab);
    EXPECT_TRUE(screen.inView("Command3"));
}

TEST(Form1OnScreen, WhereItHasNoRoomItOpensAsLargeAsTheScreenAllowsAndScrollsTheFocusIntoView) {
    // A font twice the usual size makes the design outgrow the screen.
    const ProgramFont large(2);
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        SCOPED_TRACE(direction == Qt::LeftToRight ? "left to right" : "right to left");
        const ProgramDirection layout(direction);
        const QTemporaryDir directory;
        OnScreen screen(directory);
        QApplication::processEvents();
        const QRect available = screen.form.screen()->availableGeometry();
        const QRect frame = screen.form.frameGeometry();
        const std::map<std::string, QRect> design = screen.places();
        ASSERT_GT(design.at("Label3").bottom(), available.height()) << "the design fits the screen";
        ASSERT_GT(design.at("Shape1").right(), available.width()) << "the design fits the screen";

        // The frame, title bar and all, lies on the screen and fills it; a pixel may
        // go where a pixel of the window is a fraction of the screen's.
        EXPECT_TRUE(available.contains(frame)) << describe(frame) << " on " << describe(available);
        EXPECT_NEAR(frame.width(), available.width(), 1);
        EXPECT_NEAR(frame.height(), available.height(), 1);
        EXPECT_GT(screen.form.geometry().top(), frame.top());  // the title bar's room
        EXPECT_TRUE(screen.scroller()->horizontalScrollBar()->isVisible());
        EXPECT_TRUE(screen.scroller()->verticalScrollBar()->isVisible());
        EXPECT_EQ(screen.places(), design);  // nothing squeezed or moved
        // It opens at the start of both scroll bars: the design's top left, the
        // instructions' start and the first input (its top right, right to left).
        EXPECT_EQ(screen.scroller()->horizontalScrollBar()->value(), 0);
        EXPECT_EQ(screen.scroller()->verticalScrollBar()->value(), 0);

        // Tab and Shift+Tab bring each control they reach into view, whole.
        screen.control("TextE")->setFocus();
        for (const char* name : {"TextO", "Combo1", "List2", "List3", "Command3"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_TRUE(screen.inView(name)) << "after Tab";
        }
        EXPECT_EQ(QApplication::focusWidget(), screen.control("Command3"));
        EXPECT_GT(screen.scroller()->verticalScrollBar()->value(), 0);
        for (const char* name : {"List3", "List2", "Combo1", "TextO", "TextE"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            EXPECT_TRUE(screen.inView(name)) << "after Shift+Tab";
        }

        // A click on the part of a list that shows brings the whole list into view.
        const QRect list3 = design.at("List3");
        screen.scroller()->verticalScrollBar()->setValue(list3.top() + list3.height() / 2 -
                                                         screen.scroller()->viewport()->height());
        const QRect part =
            screen.shown(screen.control("List3")) & screen.scroller()->viewport()->rect();
        ASSERT_GT(part.height(), 10);
        ASSERT_FALSE(screen.inView("List3"));
        auto* list = static_cast<QListView*>(screen.control("List3"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->viewport()->mapFrom(screen.scroller()->viewport(),
                                                    part.topLeft() + QPoint(10, 5)));
        EXPECT_EQ(QApplication::focusWidget(), list);
        EXPECT_TRUE(screen.inView("List3")) << "after a click";
    }
}

TEST(Form1OnScreen, ResizedSmallerItScrollsAndLargerItShowsMoreBackground) {
    const QTemporaryDir directory;
    OnScreen screen(directory);
    const std::map<std::string, QRect> design = screen.places();
    QRect extent;
    for (const auto& [name, place] : design) {
        extent |= place;
    }

    // Smaller than the controls reach: scroll bars, and the controls keep their
    // places and sizes; Tab to Solve shows it.
    screen.resize(extent.size() / 2);
    EXPECT_TRUE(screen.scroller()->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(screen.scroller()->verticalScrollBar()->isVisible());
    EXPECT_EQ(screen.places(), design);
    ASSERT_FALSE(screen.inView("Command3"));
    screen.control("List3")->setFocus();
    QTest::keyClick(screen.control("List3"), Qt::Key_Tab);
    EXPECT_TRUE(screen.inView("Command3"));

    // Larger than the design: no scroll bars, every control where it was, and the
    // window's colour up to its corner.
    const QSize large = extent.size() + QSize(extent.left(), extent.top()) + QSize(300, 300);
    screen.resize(large);
    EXPECT_FALSE(screen.scrolls());
    EXPECT_EQ(screen.places(), design);
    for (const auto& [name, place] : design) {
        EXPECT_EQ(screen.control(name.c_str())->mapTo(&screen.form, QPoint(0, 0)), place.topLeft())
            << name;
    }
    const QImage window = screen.form.grab().toImage();
    EXPECT_EQ(window.pixelColor(window.width() - 2, window.height() - 2), QColor(255, 192, 128));
    EXPECT_EQ(window.pixelColor(window.width() - 2, 2), QColor(255, 192, 128));
    EXPECT_EQ(window.pixelColor(2, window.height() - 2), QColor(255, 192, 128));
}

}  // namespace
