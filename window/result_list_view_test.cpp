#include "result_list_view.h"
#include "result_list_model.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <type_traits>

namespace {

void appendWord(ResultListModel& model, std::string_view word) {
    const std::size_t end = word.size();
    model.append(EntryBatch{word, {&end, 1}});
}

const QColor kHovered(0xC0, 0x30, 0x30);
const QColor kAlternate(0x30, 0xA0, 0x40);

// A style that marks the entry under the pointer, as some desktops' do.
struct MarksTheHoveredEntry : QProxyStyle {
    MarksTheHoveredEntry() : QProxyStyle(QStringLiteral("fusion")) {}
    void polish(QWidget* widget) override {
        QProxyStyle::polish(widget);
        if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            view->viewport()->setAttribute(Qt::WA_Hover);
        }
    }
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelItemViewItem && (option->state & State_MouseOver) != 0) {
            painter->fillRect(option->rect, kHovered);
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

// A delegate that counts what it is asked to measure, and may make rows taller.
struct CountingDelegate : QStyledItemDelegate {
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++asked;
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, taller);
    }
    mutable int asked = 0;
    int taller = 0;
};

// What the toolkit warns of while it lives.
class Warnings {
public:
    Warnings() { s_previous = qInstallMessageHandler(record); }
    ~Warnings() { qInstallMessageHandler(s_previous); }
    Warnings(const Warnings&) = delete;
    Warnings& operator=(const Warnings&) = delete;
    std::string all() const { return s_texts; }

private:
    static void record(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg) {
            s_texts += text.toStdString() + "\n";
        }
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline std::string s_texts;
};

// A list of `entries` words "word0", "word1"…, less those that `words` gives by
// row, shown in a view of its own.
class ResultListViewTest : public testing::Test {
protected:
    void fill(int entries, const std::map<int, std::string>& words = {}) {
        for (int i = 0; i < entries; ++i) {
            const auto word = words.find(i);
            appendWord(model, word != words.end() ? word->second : "word" + std::to_string(i));
        }
        model.publish();
        view.setModel(&model);
        view.resize(200, 150);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        rowHeight = view.visualRect(model.index(0)).height();
        EXPECT_GT(rowHeight, 0);
        rowsShown = view.viewport()->height() / rowHeight;
        EXPECT_GT(rowsShown, 2);
    }

    int rowAt(QPoint point) const { return view.indexAt(point).row(); }

    QPoint rowCentre(int row) const { return view.visualRect(model.index(row)).center(); }

    // The pixels of the viewport's rows `first` to `last` that are `colour`, and the
    // columns of those that are not.
    struct Ink {
        int pixels = 0;
        int leftmostOther = -1;
        int rightmostOther = -1;
    };
    Ink inkOf(const QImage& image, int first, int last, const QColor& colour) const {
        Ink ink;
        for (int y = first * rowHeight; y < (last + 1) * rowHeight && y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == colour) {
                    ++ink.pixels;
                } else {
                    ink.leftmostOther = ink.leftmostOther < 0 ? x : std::min(ink.leftmostOther, x);
                    ink.rightmostOther = std::max(ink.rightmostOther, x);
                }
            }
        }
        return ink;
    }
    QImage drawn() const {
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Whether the screen comes to show the viewport as it draws itself now, both
    // what it moved as it scrolled and what it drew anew.
    testing::AssertionResult screenShowsWhatIsDrawn() const {
        const QImage expected = drawn();
        const QRect area(view.viewport()->mapTo(&view, QPoint(0, 0)), view.viewport()->size());
        QImage shown;
        if (QTest::qWaitFor(
                [&] {
                    shown = view.screen()->grabWindow(view.winId()).toImage().copy(area);
                    return shown.convertToFormat(QImage::Format_RGB32) == expected;
                },
                5000)) {
            return testing::AssertionSuccess();
        }
        int differing = 0;
        for (int y = 0; y < std::min(shown.height(), expected.height()); ++y) {
            for (int x = 0; x < std::min(shown.width(), expected.width()); ++x) {
                differing += shown.pixel(x, y) != expected.pixel(x, y) ? 1 : 0;
            }
        }
        return testing::AssertionFailure()
               << "the screen shows " << shown.width() << "x" << shown.height() << " pixels, "
               << differing << " of them other than the view draws";
    }

    MarksTheHoveredEntry style;  // outlives the view that may use it
    ResultListModel model;
    ResultListView view;
    int rowHeight = 0;
    int rowsShown = 0;
};

TEST_F(ResultListViewTest, RowsLieOneUnderAnotherAndThePointerFindsThem) {
    fill(1000);
    EXPECT_EQ(rowAt(QPoint(5, 0)), 0);
    EXPECT_EQ(rowAt(QPoint(5, rowHeight - 1)), 0);
    EXPECT_EQ(rowAt(QPoint(5, rowHeight)), 1);
    EXPECT_EQ(view.visualRect(model.index(3)).top(), 3 * rowHeight);
    // Scrolled, a whole entry at a time, far or a row or two.
    view.verticalScrollBar()->setValue(500);
    EXPECT_EQ(rowAt(QPoint(5, 2)), 500);
    EXPECT_EQ(view.visualRect(model.index(502)).top(), 2 * rowHeight);
    EXPECT_LT(view.visualRect(model.index(499)).bottom(), 0);
    EXPECT_TRUE(screenShowsWhatIsDrawn());
    for (const int top : {501, 499, 502}) {
        view.verticalScrollBar()->setValue(top);
        EXPECT_TRUE(screenShowsWhatIsDrawn()) << "at " << top;
    }
    // At the end the last entry shows whole, and nothing lies below it.
    view.scrollToBottom();
    const QRect last = view.visualRect(model.index(999));
    EXPECT_TRUE(view.viewport()->rect().contains(last)) << last.top() << " " << last.bottom();
    EXPECT_GT(last.bottom(), view.viewport()->height() - 1 - rowHeight);  // at the foot
    EXPECT_EQ(rowAt(last.center()), 999);
    EXPECT_FALSE(view.indexAt(last.center() + QPoint(0, rowHeight)).isValid());
    // A click selects the entry under the pointer, and only it.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, last.center());
    EXPECT_EQ(view.currentIndex().row(), 999);
    ASSERT_EQ(view.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view.selectionModel()->selectedRows().front().row(), 999);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, last.center() - QPoint(0, rowHeight));
    ASSERT_EQ(view.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view.selectionModel()->selectedRows().front().row(), 998);
}

TEST_F(ResultListViewTest, RightToLeftTheRowsAndTheirScrollingAreMirrored) {
    fill(1000, {{3, std::string(60, 'm')}});
    QScrollBar* bar = view.horizontalScrollBar();
    const int width = view.viewport()->width();
    const auto left = [&](int row) { return view.visualRect(model.index(row)).left(); };
    ASSERT_GT(bar->maximum(), 0);
    const int widest = bar->maximum() + width;
    EXPECT_EQ(view.visualRect(model.index(0)).width(), widest);
    // Left to right the bar's value is how far the rows have moved left.
    bar->setValue(10);
    EXPECT_EQ(left(0), -10);
    bar->setValue(0);
    const Ink leftToRight = inkOf(drawn(), 1, 1, view.palette().color(QPalette::Base));
    EXPECT_LT(leftToRight.rightmostOther, width / 2) << "\"word1\" at the left";

    // Right to left the bar starts at the right, as do the rows, whose right ends
    // meet the viewport's there; each step of the bar moves them right.
    view.setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(left(0), width - widest);
    EXPECT_EQ(view.visualRect(model.index(7)).right(), width - 1);
    bar->setValue(10);
    EXPECT_EQ(left(0), width - widest + 10);
    bar->setValue(bar->maximum());
    EXPECT_EQ(left(0), 0);
    EXPECT_EQ(view.visualRect(model.index(0)).width(), widest);
    // The entries are drawn from the right, and the pointer finds them there.
    bar->setValue(0);
    const QImage image = drawn();
    const Ink rightToLeft = inkOf(image, 1, 1, view.palette().color(QPalette::Base));
    EXPECT_GT(rightToLeft.leftmostOther, width / 2) << "\"word1\" at the right";
    EXPECT_LE(width - 1 - rightToLeft.rightmostOther, 2 * leftToRight.leftmostOther + 2)
        << "near the right, as it was near the left";
    EXPECT_LT(inkOf(image, 3, 3, view.palette().color(QPalette::Base)).leftmostOther, width / 4)
        << "the long entry, cut at the left";
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(width - 5, rowCentre(2).y()));
    EXPECT_EQ(view.currentIndex().row(), 2);
    // What the screen shows after the rows moved is what they draw where they are.
    for (const int value : {37, 5, bar->maximum()}) {
        bar->setValue(value);
        EXPECT_TRUE(screenShowsWhatIsDrawn()) << "at " << value;
    }
}

TEST_F(ResultListViewTest, KeysMoveTheCurrentEntryAndKeepItInView) {
    fill(1000);
    view.setFocus();
    view.setCurrentIndex(model.index(0));
    const auto press = [&](Qt::Key key) {
        QTest::keyClick(&view, key);
        const QRect shown = view.visualRect(view.currentIndex());
        EXPECT_TRUE(view.viewport()->rect().contains(shown))
            << "row " << view.currentIndex().row() << " at " << shown.top();
        return view.currentIndex().row();
    };
    EXPECT_EQ(press(Qt::Key_Down), 1);
    EXPECT_EQ(press(Qt::Key_PageDown), 1 + rowsShown);
    EXPECT_EQ(press(Qt::Key_Up), rowsShown);
    EXPECT_EQ(press(Qt::Key_PageUp), 0);
    EXPECT_EQ(press(Qt::Key_Up), 0);
    EXPECT_EQ(press(Qt::Key_End), 999);
    EXPECT_EQ(press(Qt::Key_PageDown), 999);
    EXPECT_EQ(press(Qt::Key_Down), 999);
    EXPECT_EQ(press(Qt::Key_PageUp), 999 - rowsShown);
    EXPECT_EQ(press(Qt::Key_Home), 0);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
}

TEST_F(ResultListViewTest, DrawsItsEntriesTheSelectionWhatTheStyleMarksAndNothingBelow) {
    fill(2);
    view.setCurrentIndex(model.index(1));
    const QColor base = view.palette().color(QPalette::Base);
    QImage image = drawn();
    const int row = rowHeight * image.width();
    const int first = inkOf(image, 0, 0, base).pixels;
    EXPECT_LT(first, row);                                // text on the first row,
    EXPECT_GT(first, row / 2);                            // which is not selected;
    EXPECT_LT(inkOf(image, 1, 1, base).pixels, row / 2);  // the second is
    const int below = image.height() - 2 * rowHeight;
    EXPECT_EQ(inkOf(image, 2, image.height() / rowHeight, base).pixels, below * image.width());

    // Every other row in the alternate colour, counted from the list's first, and
    // the entry under the pointer as the style marks it, wherever the list stands.
    for (int i = 2; i < 100; ++i) {
        appendWord(model, "word" + std::to_string(i));
    }
    model.publish();
    view.selectionModel()->clear();
    QPalette palette = view.palette();
    palette.setColor(QPalette::AlternateBase, kAlternate);
    view.setPalette(palette);
    view.setAlternatingRowColors(true);
    view.setStyle(&style);
    view.verticalScrollBar()->setValue(5);  // row 5 on top
    const auto colours = [&](int shownRow) {
        const Ink hovered = inkOf(image, shownRow, shownRow, kHovered);
        const Ink alternate = inkOf(image, shownRow, shownRow, kAlternate);
        return std::string(hovered.pixels > row / 2 ? "hovered" : "") +
               (alternate.pixels > row / 2 ? "alternate" : "") +
               (hovered.pixels == 0 && alternate.pixels == 0 ? "base" : "");
    };
    // Where a window system moves the pointer, the hover comes from it in its time.
    const auto hoverOver = [&](int listRow, int shownRow) {
        QTest::mouseMove(view.viewport(), rowCentre(listRow));
        EXPECT_TRUE(QTest::qWaitFor([&] {
            image = drawn();
            return colours(shownRow) == "hovered";
        })) << "row "
            << listRow << " shows " << colours(shownRow);
    };
    hoverOver(7, 2);
    EXPECT_EQ(colours(0), "alternate");  // row 5
    EXPECT_EQ(colours(1), "base");
    EXPECT_EQ(colours(2), "hovered");  // row 7
    EXPECT_EQ(colours(3), "base");
    EXPECT_EQ(colours(4), "alternate");
    hoverOver(8, 3);
    EXPECT_EQ(colours(2), "alternate");
    QHoverEvent leave(QEvent::HoverLeave, QPointF(-1, -1), QPointF(-1, -1), rowCentre(8));
    QApplication::sendEvent(view.viewport(), &leave);
    image = drawn();
    EXPECT_EQ(colours(3), "base");
}

TEST_F(ResultListViewTest, EveryEntryCanBeScrolledWholeIntoViewAndIsMeasuredOnce) {
    // Far down, the longest entry in bytes, and one shorter but drawn wider
    // wherever a W is wider than an i.
    const std::string longest(200, 'i');
    const std::string wider(100, 'W');
    fill(1000, {{600, wider}, {900, longest}});
    const QFontMetrics metrics(view.font());
    QScrollBar* bar = view.horizontalScrollBar();
    const int width = view.viewport()->width();
    ASSERT_GT(metrics.horizontalAdvance(QString::fromStdString(longest)), width);
    // The longest is in reach from the start.
    EXPECT_GE(view.visualRect(model.index(900)).width(),
              metrics.horizontalAdvance(QString::fromStdString(longest)));
    bar->setValue(bar->maximum());
    EXPECT_EQ(view.visualRect(model.index(900)).right(), width - 1);
    // The wider is in reach once it is shown.
    view.scrollTo(model.index(600), QAbstractItemView::PositionAtCenter);
    EXPECT_GE(view.visualRect(model.index(600)).width(),
              metrics.horizontalAdvance(QString::fromStdString(wider)));
    bar->setValue(bar->maximum());
    EXPECT_EQ(view.visualRect(model.index(600)).right(), width - 1);

    // The delegate is asked for the rows' sizes once, and again when they may have
    // changed: here it makes them taller.
    auto* delegate = new CountingDelegate(&view);
    delegate->taller = 6;
    view.setItemDelegate(delegate);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return view.visualRect(model.index(0)).height() == rowHeight + 6; }, 5000))
        << "rows " << view.visualRect(model.index(0)).height() << " high";
    view.verticalScrollBar()->setValue(0);
    delegate->asked = 0;
    view.setCurrentIndex(model.index(0));
    for (int i = 0; i < 100; ++i) {
        view.visualRect(model.index(i));
        view.indexAt(QPoint(5, i));
        view.scrollTo(model.index(1));
        view.viewport()->repaint();
    }
    EXPECT_EQ(delegate->asked, 0) << "for what is known";
    view.verticalScrollBar()->setValue(1);
    EXPECT_LE(delegate->asked, 1) << "for more than the one row newly shown";
    // A larger font makes them taller again, and wider: the wider entry, still
    // shown, too.
    view.scrollTo(model.index(600), QAbstractItemView::PositionAtTop);
    const int taller = view.visualRect(model.index(0)).height();
    QFont font = view.font();
    font.setPointSizeF(font.pointSizeF() * 2);
    view.setFont(font);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return view.visualRect(model.index(0)).height() > taller + rowHeight / 2; }, 5000))
        << "rows " << view.visualRect(model.index(0)).height() << " high, " << taller << " before";
    EXPECT_GE(view.visualRect(model.index(600)).width(),
              QFontMetrics(font).horizontalAdvance(QString::fromStdString(wider)));
}

// Whether any of the setters may be called on a View.
template <typename View, typename... Setters>
constexpr bool takesAny(Setters... /*setters*/) {
    return (std::is_invocable_v<Setters, View&> || ...);
}

// Whether a View has any of the setters that would place the rows otherwise.
template <typename View>
constexpr bool kPlacesRowsOtherwise = takesAny<View>(
    [](auto& view) -> decltype(view.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel)) {},
    [](auto& view) -> decltype(view.setSpacing(1)) {},
    [](auto& view) -> decltype(view.setFlow(QListView::LeftToRight)) {},
    [](auto& view) -> decltype(view.setWrapping(true)) {},
    [](auto& view) -> decltype(view.setViewMode(QListView::IconMode)) {},
    [](auto& view) -> decltype(view.setGridSize(QSize(9, 9))) {},
    [](auto& view) -> decltype(view.setUniformItemSizes(false)) {},
    [](auto& view) -> decltype(view.setRowHidden(1, true)) {});
static_assert(kPlacesRowsOtherwise<QListView>);

TEST_F(ResultListViewTest, RefusesToPlaceItsRowsOtherwise) {
    static_assert(!kPlacesRowsOtherwise<ResultListView>);
    fill(1000);
    // Set through the base class, each setting is undone, with a warning.
    const Warnings warnings;
    QListView& base = view;
    base.setViewMode(QListView::IconMode);
    base.setFlow(QListView::LeftToRight);
    base.setWrapping(true);
    base.setSpacing(7);
    base.setGridSize(QSize(80, 80));
    base.setUniformItemSizes(false);
    base.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return base.viewMode() == QListView::ListMode &&
                   base.flow() == QListView::TopToBottom && !base.isWrapping() &&
                   base.spacing() == 0 && !base.gridSize().isValid() && base.uniformItemSizes() &&
                   base.verticalScrollMode() == QAbstractItemView::ScrollPerItem;
        },
        5000))
        << "warned of: " << warnings.all();
    for (const char* refused : {"icons", "left to right", "wrapping", "spacing", "a grid",
                                "different sizes", "by pixels"}) {
        EXPECT_NE(warnings.all().find(refused), std::string::npos) << refused;
    }
    EXPECT_EQ(view.visualRect(model.index(3)),
              QRect(0, 3 * rowHeight, view.viewport()->width(), rowHeight));
    view.verticalScrollBar()->setValue(1);
    EXPECT_EQ(view.visualRect(model.index(3)).top(), 2 * rowHeight) << "a whole entry a step";
}

}  // namespace
