#include "form1_fixture.h"

#include <QAccessible>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <system_error>
#include <utility>

namespace {

TEST_F(Form1Test, StartsEmptyWithFourAsTheMinimum) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Trelliwick Solver") + QString(35, u' ') +
                                      QStringLiteral("by Qorvendal"));
    EXPECT_EQ(form.windowTitle().size(), 64);
    EXPECT_EQ(combo1()->currentText(), QStringLiteral("4"));
    EXPECT_EQ(combo1()->currentIndex(), 4);
    ASSERT_EQ(combo1()->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(combo1()->itemText(i), QString::number(i));
    }
    EXPECT_TRUE(textE()->text().isEmpty());
    EXPECT_TRUE(textO()->text().isEmpty());
    EXPECT_TRUE(entries("List2").isEmpty());
    EXPECT_TRUE(entries("List3").isEmpty());
    EXPECT_TRUE(caption("Label1").isEmpty());
    EXPECT_TRUE(caption("Label2").isEmpty());
    EXPECT_TRUE(caption("Label3").isEmpty());
    EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("Solve"));
    EXPECT_EQ(caption("Label4"), QStringLiteral("Minimun Lenght"));
    EXPECT_EQ(QApplication::focusWidget(), textE());
    // A screen reader names each input after its label, and each list after its heading.
    const auto accessibleName = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    EXPECT_EQ(accessibleName(textE()), QStringLiteral("Essential"));
    EXPECT_EQ(accessibleName(textO()), QStringLiteral("Others"));
    // The length box too, after its caption as the design spells it; the caption
    // points to it as well.
    EXPECT_EQ(accessibleName(combo1()), QStringLiteral("Minimun Lenght"));
    const auto labels =
        QAccessible::queryAccessibleInterface(combo1())->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), QStringLiteral("Minimun Lenght"));
    EXPECT_EQ(accessibleName(control<QListView>("List2")),
              QStringLiteral("Example of words with the essential letter(s)"));
    EXPECT_EQ(accessibleName(control<QListView>("List3")),
              QStringLiteral("List of words with the above letters"));
}

TEST_F(Form1Test, TabVisitsTheInputsListsAndButtonInOrder) {
    const QWidget* expected[] = {textO(),
                                 combo1(),
                                 control<QListView>("List2"),
                                 control<QListView>("List3"),
                                 control<QPushButton>("Command3"),
                                 textE()};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QWidget* focus = QApplication::focusWidget();
        // The combo box's focus lies in its own line edit.
        EXPECT_TRUE(focus == next || focus->parentWidget() == next)
            << focus->objectName().toStdString() << " instead of "
            << next->objectName().toStdString();
    }
}

TEST_F(Form1Test, EachControlStandsWhereTheDesignPutsItAmongTheOthers) {
    const char* const names[] = {"Shape1", "Label5", "Label9",   "TextE", "Label10", "TextO",
                                 "Label4", "Combo1", "Label7",   "List2", "Label2",  "Label8",
                                 "List3",  "Label1", "Command3", "Label3"};
    const auto at = [&](const char* name) { return control<QWidget>(name)->geometry(); };
    const QWidget* clientArea = control<QWidget>("TextE")->parentWidget();
    for (const char* name : names) {
        EXPECT_EQ(control<QWidget>(name)->parentWidget(), clientArea) << name;
        EXPECT_TRUE(clientArea->rect().contains(at(name))) << name;
        EXPECT_TRUE(control<QWidget>(name)->isVisible()) << name;
    }

    // The instructions at the top in their outline, which leaves room on every side.
    const QRect outline = at("Shape1");
    const QRect instructions = at("Label5");
    EXPECT_TRUE(outline.contains(instructions));
    EXPECT_LT(outline.left(), instructions.left());
    EXPECT_LT(outline.top(), instructions.top());
    EXPECT_GT(outline.right(), instructions.right());
    for (const char* name : names) {
        if (at(name) != outline && at(name) != instructions) {
            EXPECT_LT(outline.bottom(), at(name).top()) << name;
        }
    }

    // Each caption on its input's row, to its left; the captions in one column, the
    // inputs in another, the rows in their order down the window.
    const struct {
        const char *caption, *input;
    } rows[] = {{"Label9", "TextE"}, {"Label10", "TextO"}, {"Label4", "Combo1"}};
    for (const auto& row : rows) {
        EXPECT_EQ(at(row.caption).top(), at(row.input).top()) << row.caption;
        EXPECT_LT(at(row.caption).right(), at(row.input).left()) << row.caption;
        EXPECT_EQ(at(row.caption).left(), at("Label9").left()) << row.caption;
        EXPECT_EQ(at(row.input).left(), at("TextE").left()) << row.input;
    }
    EXPECT_LT(at("TextE").bottom(), at("TextO").top());
    EXPECT_LT(at("TextO").bottom(), at("Combo1").top());
    EXPECT_EQ(at("TextE").width(), at("TextO").width());
    EXPECT_LT(at("Combo1").width(), at("TextE").width() / 2);

    // Below the inputs, each heading over the left of its list, which starts below
    // the heading's top; the lists in one column, List3 below List2 and taller.
    const struct {
        const char *heading, *list, *count;
    } lists[] = {{"Label7", "List2", "Label2"}, {"Label8", "List3", "Label3"}};
    for (const auto& list : lists) {
        const QRect heading = at(list.heading);
        const QRect entries = at(list.list);
        EXPECT_LT(heading.top(), entries.top()) << list.heading;
        EXPECT_GT(heading.left(), entries.left()) << list.heading;
        EXPECT_LT(heading.right(), entries.right()) << list.heading;
        // Each count to the right of its list, beside its lower half.
        const QRect count = at(list.count);
        EXPECT_GT(count.left(), entries.right()) << list.count;
        EXPECT_GT(count.top(), entries.center().y()) << list.count;
        EXPECT_LT(count.top(), entries.bottom()) << list.count;
    }
    EXPECT_LT(at("Combo1").bottom(), at("Label7").top());
    EXPECT_LT(at("List2").bottom(), at("Label8").top());
    EXPECT_EQ(at("List2").left(), at("List3").left());
    EXPECT_EQ(at("List2").width(), at("List3").width());
    EXPECT_GT(at("List3").height(), at("List2").height());
    EXPECT_EQ(at("Label2").left(), at("Label3").left());

    // Solve to the right of List3, beside it, above List3's count.
    const QRect solve = at("Command3");
    EXPECT_GT(solve.left(), at("List3").right());
    EXPECT_GT(solve.top(), at("List3").top());
    EXPECT_LT(solve.bottom(), at("Label3").top());

    // Nothing overlaps but the outline and the instructions, the lists and the
    // bottoms of their headings, and List3 and the label that never shows anything;
    // the outline and the lists are drawn over what they cover.
    const struct {
        const char *above, *below;
    } overlaps[] = {
        {"Shape1", "Label5"}, {"List2", "Label7"}, {"List3", "Label8"}, {"List3", "Label1"}};
    const auto mayOverlap = [&](const char* one, const char* other) {
        return std::any_of(std::begin(overlaps), std::end(overlaps), [&](const auto& pair) {
            return (qstrcmp(pair.above, one) == 0 && qstrcmp(pair.below, other) == 0) ||
                   (qstrcmp(pair.above, other) == 0 && qstrcmp(pair.below, one) == 0);
        });
    };
    for (const char* one : names) {
        for (const char* other : names) {
            if (qstrcmp(one, other) < 0 && at(one).intersects(at(other))) {
                EXPECT_TRUE(mayOverlap(one, other)) << one << " overlaps " << other;
            }
        }
    }
    const QObjectList& stack = clientArea->children();
    for (const auto& pair : overlaps) {
        EXPECT_GT(stack.indexOf(control<QWidget>(pair.above)),
                  stack.indexOf(control<QWidget>(pair.below)))
            << pair.above << " under " << pair.below;
    }

    // Every caption can be read in full, above the list that lies over its bottom.
    const struct {
        const char* name;
        int height;
    } captions[] = {
        {"Label4", at("Label4").height()},
        {"Label5", at("Label5").height()},
        {"Label9", at("Label9").height()},
        {"Label10", at("Label10").height()},
        {"Label7", at("List2").top() - at("Label7").top()},
        {"Label8", at("List3").top() - at("Label8").top()},
    };
    for (const auto& caption : captions) {
        const auto* label = control<QLabel>(caption.name);
        EXPECT_LE(label->heightForWidth(label->width()), caption.height) << caption.name;
        EXPECT_LE(label->minimumSizeHint().width(), label->width()) << caption.name;
    }
}

// Whether a pixel is drawn in something darker than colour A: text or a line.
bool isInk(const QColor& pixel) {
    const QColor a(255, 192, 128);
    return std::abs(pixel.red() - a.red()) + std::abs(pixel.green() - a.green()) +
               std::abs(pixel.blue() - a.blue()) >
           96;
}

TEST_F(Form1Test, ColoursCaptionsAndOutlineShowAsTheDesignDrawsThem) {
    const QImage window = form.grab().toImage();
    EXPECT_EQ(window.pixelColor(2, form.height() - 2), QColor(255, 192, 128));  // colour A
    auto* list = control<QListView>("List2");
    const QImage listImage = list->viewport()->grab().toImage();
    EXPECT_EQ(listImage.pixelColor(listImage.width() / 2, listImage.height() / 2),
              QColor(255, 224, 192));  // colour B
    // The button is filled with colour A, inside its border, with the focus too,
    // reached with the keyboard, where styles tint a focus frame over it.
    auto* button = control<QPushButton>("Command3");
    EXPECT_EQ(button->grab().toImage().pixelColor(6, button->height() / 2), QColor(255, 192, 128));
    control<QListView>("List3")->setFocus();
    QTest::keyClick(control<QListView>("List3"), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), button);
    EXPECT_EQ(button->grab().toImage().pixelColor(6, button->height() / 2), QColor(255, 192, 128));

    // The client area as it shows, a part at a time where it scrolls, in the screen's
    // pixels: each caption, the counts too, starts at its label's left edge, but for
    // its first letter's own margin.
    writeWordList("rate\r\n");
    typePuzzle("e", "rta", "4");
    QTest::keyClick(textE(), Qt::Key_Return);
    ASSERT_EQ(caption("Label3"), QStringLiteral("1"));
    const QImage area = textE()->parentWidget()->grab().toImage();
    const double ratio = area.devicePixelRatio();
    const auto pixels = [&](const QRect& rect) {
        return QRect(QPoint(static_cast<int>(std::lround(rect.left() * ratio)),
                            static_cast<int>(std::lround(rect.top() * ratio))),
                     rect.size() * ratio);
    };
    for (const char* name :
         {"Label5", "Label9", "Label10", "Label4", "Label7", "Label8", "Label2", "Label3"}) {
        // Its first line, above the list that lies over the bottom of a heading.
        const QRect label = pixels(control<QLabel>(name)->geometry());
        int firstInk = label.right() + 1;
        for (int y = label.top(); y < label.top() + label.height() / 2; ++y) {
            for (int x = label.left(); x < firstInk; ++x) {
                if (isInk(area.pixelColor(x, y))) {
                    firstInk = x;
                }
            }
        }
        EXPECT_LE(firstInk - label.left(), 2 * ratio)
            << name << " starts its caption at " << firstInk - label.left() << " of "
            << label.width();
    }
    // The outline is a line one pixel wide on each side, with colour A inside it:
    // crossed from outside, in the margin that it leaves around the instructions.
    const QRect outline = pixels(control<QFrame>("Shape1")->geometry());
    const QRect instructions = pixels(control<QLabel>("Label5")->geometry());
    const int marginX = (outline.left() + instructions.left()) / 2;
    const int middleY = (outline.top() + outline.bottom()) / 2;
    const struct {
        const char* side;
        QPoint outside, inwards;
    } sides[] = {
        {"left", {outline.left() - 3, middleY}, {1, 0}},
        {"right", {outline.right() + 3, middleY}, {-1, 0}},
        {"top", {marginX, outline.top() - 3}, {0, 1}},
        {"bottom", {marginX, outline.bottom() + 3}, {0, -1}},
    };
    for (const auto& side : sides) {
        QPoint at = side.outside;
        for (int step = 0; step < 6 && !isInk(area.pixelColor(at)); ++step) {
            at += side.inwards;
        }
        int width = 0;
        for (; isInk(area.pixelColor(at)); at += side.inwards) {
            ++width;
        }
        // A pixel here may be one of the screen's and a half.
        EXPECT_GE(width, 1) << side.side;
        EXPECT_LE(width, std::ceil(ratio)) << side.side;
        EXPECT_EQ(area.pixelColor(at), QColor(255, 192, 128)) << side.side;
    }
}

TEST_F(Form1Test, IsCentredFrameAndAll) {
    QApplication::processEvents();
    const QPoint centre = form.screen()->availableGeometry().center();
    EXPECT_NEAR(form.frameGeometry().center().x(), centre.x(), 1);
    EXPECT_NEAR(form.frameGeometry().center().y(), centre.y(), 1);
}

TEST_F(Form1Test, ANewRunShowsEachListFromItsTopAndItsKeysMoveAtOnce) {
    std::string words;
    for (int i = 0; i < 500; ++i) {
        words += "word" + std::to_string(i) + "\r\n";
    }
    writeWordList(words);
    typePuzzle("w", "", "0");
    QTest::keyClick(textE(), Qt::Key_Return);
    // Scrolled to the end, the last entry selected, as with the End key.
    auto* list2 = control<QListView>("List2");
    list2->setCurrentIndex(list2->model()->index(499, 0));
    list2->scrollToBottom();
    QApplication::processEvents();
    ASSERT_GT(list2->verticalScrollBar()->value(), 0);
    ASSERT_TRUE(list2->selectionModel()->hasSelection());

    // Run again from within the list, and from the text box: each time the first
    // entry is current, nothing is selected, and End, Home and Page Down move at once.
    for (QWidget* pressedIn : {static_cast<QWidget*>(list2), static_cast<QWidget*>(textE())}) {
        QTest::keyClick(pressedIn, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(list2->verticalScrollBar()->value(), 0);
        EXPECT_EQ(list2->currentIndex().row(), 0);
        EXPECT_FALSE(list2->selectionModel()->hasSelection());
        EXPECT_EQ(list2->indexAt(QPoint(2, 2)).data().toString(), QStringLiteral("word0"));
        list2->setFocus();
        QTest::keyClick(list2, Qt::Key_End);
        EXPECT_EQ(list2->currentIndex().row(), 499);
        QTest::keyClick(list2, Qt::Key_Home);
        EXPECT_EQ(list2->currentIndex().row(), 0);
        QTest::keyClick(list2, Qt::Key_PageDown);
        EXPECT_GT(list2->currentIndex().row(), 1);
    }
}

TEST_F(Form1Test, TheDropDownOpensOnTheTypedValueAndEnterThereOnlyPicks) {
    writeWordList("rate\r\ntree\r\n");
    typePuzzle("e", "rta", "2");
    QTest::keyClick(combo1()->lineEdit(), Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* dropDown = combo1()->view();
    ASSERT_TRUE(dropDown->isVisible());
    EXPECT_EQ(dropDown->currentIndex().row(), 2);  // "2", not the "4" chosen at start
    QTest::keyClick(dropDown, Qt::Key_Down);
    QTest::keyClick(dropDown, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(dropDown->isVisible());
    QApplication::setActiveWindow(&form);  // as a window manager does once it has closed
    EXPECT_EQ(combo1()->currentText(), QStringLiteral("3"));
    EXPECT_TRUE(caption("Label2").isEmpty());               // no run
    QTest::keyClick(combo1()->lineEdit(), Qt::Key_Return);  // the next Enter solves
    EXPECT_EQ(caption("Label2"), QStringLiteral("2"));

    combo1()->lineEdit()->selectAll();
    QTest::keyClicks(combo1()->lineEdit(), "7");
    QTest::keyClick(combo1()->lineEdit(), Qt::Key_F4);
    EXPECT_FALSE(combo1()->view()->currentIndex().isValid());  // no item is "7"
    // Closed by a click elsewhere, the drop-down leaves Enter solving again.
    combo1()->view()->window()->close();
    QApplication::processEvents();
    QApplication::setActiveWindow(&form);
    writeWordList("rate\r\n");
    QTest::keyClick(combo1()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(caption("Label2"), QStringLiteral("0"));  // nothing of 7 letters
}

TEST_F(Form1Test, ACommaMinimumWorksUnderAGermanLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    writeWordList("tree\r\nrate\r\nrates\r\n");
    typePuzzle("e", "rtas", "4,9");
    QTest::keyClick(textE(), Qt::Key_Return);
    QLocale::setDefault(before);
    EXPECT_EQ(entries("List2"), (QStringList{"tree", "rate", "rates"}));
    EXPECT_EQ(entries("List3"), (QStringList{"rate", "rates"}));
}

TEST_F(Form1Test, AScreenReaderMeetsEachControlNamedByWhatIsReadBesideIt) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), form.windowTitle());

    // The whole tree, each child found again by its parent; the insides of the
    // length box and of the lists are theirs.
    std::map<QString, QAccessibleInterface*> controls;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(node->indexOfChild(child), i);
            EXPECT_EQ(child->parent(), node);
            const QString name = child->object()->objectName();
            // Whatever takes the focus is named.
            EXPECT_TRUE(!child->state().focusable || !child->text(QAccessible::Name).isEmpty())
                << name.toStdString();
            controls[name] = child;
            if (child->role() != QAccessible::ComboBox && child->role() != QAccessible::List) {
                walk(child);
            }
        }
    };
    walk(window);

    // The outline and the label that never shows anything are left out.
    EXPECT_EQ(controls.count("Shape1"), 0);
    EXPECT_EQ(controls.count("Label1"), 0);
    const QString list2 = QStringLiteral("Example of words with the essential letter(s)");
    const QString list3 = QStringLiteral("List of words with the above letters");
    const struct {
        const char* control;
        QAccessible::Role role;
        QString name, description;
    } expected[] = {
        {"Label5", QAccessible::StaticText, control<QLabel>("Label5")->text(), {}},
        {"Label9", QAccessible::StaticText, "Essential", {}},
        {"TextE", QAccessible::EditableText, "Essential", {}},
        {"Label10", QAccessible::StaticText, "Others", {}},
        {"TextO", QAccessible::EditableText, "Others", {}},
        {"Label4", QAccessible::StaticText, "Minimun Lenght", {}},
        {"Combo1", QAccessible::ComboBox, "Minimun Lenght", {}},
        {"Label7", QAccessible::StaticText, list2, {}},
        {"List2", QAccessible::List, list2, {}},
        {"Label2", QAccessible::StaticText, {}, list2},  // the count, empty at first
        {"Label8", QAccessible::StaticText, list3, {}},
        {"List3", QAccessible::List, list3, {}},
        {"Command3", QAccessible::Button, "Solve", {}},
        {"Label3", QAccessible::StaticText, {}, list3},
    };
    for (const auto& one : expected) {
        ASSERT_EQ(controls.count(one.control), 1) << one.control;
        const QAccessibleInterface* found = controls[one.control];
        EXPECT_EQ(found->role(), one.role) << one.control;
        EXPECT_EQ(found->text(QAccessible::Name), one.name) << one.control;
        if (!one.description.isEmpty()) {
            EXPECT_EQ(found->text(QAccessible::Description), one.description) << one.control;
        }
    }

    // The length box's value is its text; it holds its drop-down and its text box,
    // where its focus lies, and opens and closes the drop-down when asked.
    QAccessibleInterface* box = controls["Combo1"];
    EXPECT_EQ(box->text(QAccessible::Value), QStringLiteral("4"));
    combo1()->lineEdit()->selectAll();
    QTest::keyClicks(combo1()->lineEdit(), "7");
    EXPECT_EQ(box->text(QAccessible::Value), QStringLiteral("7"));
    EXPECT_EQ(box->text(QAccessible::Name), QStringLiteral("Minimun Lenght"));
    ASSERT_EQ(box->childCount(), 2);
    EXPECT_EQ(box->child(0)->object(), combo1()->view());
    EXPECT_EQ(box->child(1)->object(), combo1()->lineEdit());
    EXPECT_EQ(box->indexOfChild(box->child(1)), 1);
    EXPECT_EQ(box->focusChild(), box->child(1));
    QAccessibleActionInterface* actions = box->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(combo1()->view()->isVisible());
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_FALSE(combo1()->view()->isVisible());
}

TEST_F(Form1Test, EnterAnywhereSolvesAndFillsBothLists) {
    writeWordList("Tree\r\nRate\r\nAxe\r\nTax\r\nextra\r\n");
    typePuzzle("e", "rtxa", "4");
    QWidget* inputs[] = {textE(),
                         textO(),
                         combo1()->lineEdit(),
                         control<QListView>("List2"),
                         control<QListView>("List3"),
                         control<QPushButton>("Command3")};
    for (QWidget* input : inputs) {
        writeWordList("Tree\r\nRate\r\nAxe\r\nTax\r\nextra\r\n");
        input->setFocus();
        QTest::keyClick(input, Qt::Key_Return);
        EXPECT_EQ(entries("List2"), (QStringList{"Tree", "Rate", "extra"}))
            << input->objectName().toStdString();
        EXPECT_EQ(entries("List3"), (QStringList{"Rate", "extra"}));
        EXPECT_EQ(caption("Label2"), QStringLiteral("3"));
        EXPECT_EQ(caption("Label3"), QStringLiteral("2"));
        // Each press reads the list afresh; the keypad's Enter solves too, but not
        // Enter with Ctrl, Shift or Alt held, which the window leaves alone.
        writeWordList("rate\r\n");
        for (const auto modifier : {Qt::ControlModifier, Qt::ShiftModifier, Qt::AltModifier}) {
            QTest::keyClick(input, Qt::Key_Return, modifier);
            QTest::keyClick(input, Qt::Key_Enter, modifier | Qt::KeypadModifier);
        }
        EXPECT_EQ(caption("Label2"), QStringLiteral("3")) << input->objectName().toStdString();
        QTest::keyClick(input, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(entries("List2"), (QStringList{"rate"}));
        EXPECT_EQ(caption("Label2"), QStringLiteral("1"));
    }
    EXPECT_EQ(combo1()->count(), 6);  // Enter in the length box adds no item
}

TEST_F(Form1Test, EnterInTheLengthBoxReachedByTabSolves) {
    // Tab selects the box's text, which its completion would take Enter for.
    writeWordList("tree\r\nrate\r\n");
    typePuzzle("e", "rta", "4");
    textO()->setFocus();
    QTest::keyClick(textO(), Qt::Key_Tab);
    ASSERT_TRUE(combo1()->lineEdit()->hasSelectedText());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(caption("Label2"), QStringLiteral("2"));
    // Typed over, the text is still no completion of an item: "3" then Enter solves.
    QTest::keyClicks(QApplication::focusWidget(), "3");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(combo1()->currentText(), QStringLiteral("3"));
    EXPECT_EQ(entries("List2"), (QStringList{"tree", "rate"}));
    writeWordList("rate\r\n");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(caption("Label2"), QStringLiteral("1"));
}

TEST_F(Form1Test, ATypedMinimumIsUsedAndNotAddedToTheChoices) {
    writeWordList("tea\r\nteam\r\nteamster\r\n\r\n");
    typePuzzle("t", "eamsr", "7");
    QTest::keyClick(combo1()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(entries("List2"), (QStringList{"teamster"}));
    EXPECT_EQ(combo1()->count(), 6);
    EXPECT_EQ(combo1()->currentText(), QStringLiteral("7"));

    typePuzzle("", "", "");
    combo1()->setCurrentIndex(0);  // "0" admits the empty word
    QTest::mouseClick(control<QPushButton>("Command3"), Qt::LeftButton);
    EXPECT_EQ(entries("List2"), (QStringList{"tea", "team", "teamster", ""}));
    EXPECT_EQ(entries("List3"), (QStringList{""}));
}

// What the program writes in a logging category while it lives.
class LogRecorder {
public:
    explicit LogRecorder(const char* category) : m_category(category) {
        s_recorder = this;
        m_previous = qInstallMessageHandler(record);
    }
    ~LogRecorder() {
        qInstallMessageHandler(m_previous);
        s_recorder = nullptr;
    }
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    const QStringList& messages() const { return m_messages; }

private:
    static void record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (context.category != nullptr && s_recorder->m_category == context.category) {
            s_recorder->m_messages << text;
        } else if (s_recorder->m_previous != nullptr) {
            s_recorder->m_previous(type, context, text);
        }
    }

    static inline LogRecorder* s_recorder = nullptr;
    std::string m_category;
    QtMessageHandler m_previous = nullptr;
    QStringList m_messages;
};

TEST_F(Form1Test, AMissingListShowsTheMessageAndChangesNothing) {
    writeWordList("rate\r\n");
    typePuzzle("e", "rta", "4");
    QTest::keyClick(textE(), Qt::Key_Return);
    QFile::remove(directory.filePath("abc.txt"));

    // The message is the same whatever the cause. The log tells which it was, when
    // it is asked for: by default nothing is logged.
    const LogRecorder log("trelliwick.solve");
    pressRecordingMessage([&] { QTest::keyClick(textE(), Qt::Key_Return); });
    EXPECT_EQ(log.messages(), QStringList{});
    QLoggingCategory::setFilterRules(QStringLiteral("trelliwick.solve=true"));
    const auto message = pressRecordingMessage([&] { QTest::keyClick(textE(), Qt::Key_Return); });
    QLoggingCategory::setFilterRules(QString());
#ifdef _WIN32
    // Windows' own words, which differ from one Windows to another.
    const QString missing = QString::fromStdString(std::system_category().message(2));
#else
    const QString missing = QStringLiteral("No such file or directory");
#endif
    EXPECT_EQ(log.messages(), QStringList{"the run failed: " +
                                          QDir::toNativeSeparators(directory.filePath("abc.txt")) +
                                          ": " + missing});
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->title, QStringLiteral("trelliwick"));
    EXPECT_EQ(message->text,
              QStringLiteral("File containing list of words - 'abc.txt' not found."));
    EXPECT_EQ(message->icon, QMessageBox::NoIcon);
    EXPECT_FALSE(message->okHasIcon);
    EXPECT_EQ(message->buttons.size(), 1);
    EXPECT_EQ(message->okRole, QMessageBox::Ok);
    EXPECT_EQ(message->pointer, Qt::ArrowCursor);  // not the busy one of the run
    EXPECT_EQ(entries("List2"), (QStringList{"rate"}));
    EXPECT_EQ(entries("List3"), (QStringList{"rate"}));
    EXPECT_EQ(caption("Label2"), QStringLiteral("1"));
    EXPECT_EQ(caption("Label3"), QStringLiteral("1"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy pointer is gone
}

TEST_F(Form1Test, ThePointerShowsTheProgramBusyWhileARunReads) {
    // The lists are cleared and filled while the run reads: the pointer then is the
    // busy one, and the arrow again once the run is over.
    writeWordList("rate\r\ntree\r\n");
    typePuzzle("e", "rta", "4");
    QList<std::optional<Qt::CursorShape>> seen;
    const auto note = [&] {
        const QCursor* pointer = QApplication::overrideCursor();
        seen << (pointer != nullptr ? std::optional(pointer->shape()) : std::nullopt);
    };
    const QAbstractItemModel* list2 = control<QListView>("List2")->model();
    QObject::connect(list2, &QAbstractItemModel::modelReset, &form, note);
    QObject::connect(list2, &QAbstractItemModel::rowsInserted, &form, note);
    QTest::keyClick(textE(), Qt::Key_Return);
    ASSERT_EQ(caption("Label2"), QStringLiteral("2"));
    ASSERT_FALSE(seen.isEmpty());
    for (const auto& shape : seen) {
        EXPECT_EQ(shape, Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Form1Test, AFailedRunKeepsItsWordsAndTheEarlierCounts) {
    writeWordList("tax\r\ntree\r\nrate\r\n");
    typePuzzle("e", "rta", "4");
    QTest::keyClick(textE(), Qt::Key_Return);
    ASSERT_EQ(caption("Label2"), QStringLiteral("2"));

    // 198 letters overflow the table at "tree", after it joined List2.
    typePuzzle("e", QString(197, u'x'), "4");
    auto message = pressRecordingMessage([&] { QTest::keyClick(textO(), Qt::Key_Return); });
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(entries("List2"), (QStringList{"tree"}));
    EXPECT_TRUE(entries("List3").isEmpty());
    EXPECT_EQ(caption("Label2"), QStringLiteral("2"));
    EXPECT_EQ(caption("Label3"), QStringLiteral("1"));

    // A minimum that is no number fails at "tree" too; corrected, the run completes.
    typePuzzle("e", "rta", "four");
    message = pressRecordingMessage([&] { QTest::keyClick(textO(), Qt::Key_Return); });
    ASSERT_TRUE(message.has_value());
    EXPECT_TRUE(entries("List2").isEmpty());
    typePuzzle("e", "rta", "4");
    message = pressRecordingMessage([&] { QTest::keyClick(textO(), Qt::Key_Return); });
    EXPECT_FALSE(message.has_value());
    EXPECT_EQ(entries("List2"), (QStringList{"tree", "rate"}));
    EXPECT_EQ(entries("List3"), (QStringList{"rate"}));
}

// The contrast of two colours, as WCAG works it out: 1 to 21.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The highest contrast of a pixel of `image` against `background`: its text's.
double inkContrast(const QImage& image, const QColor& background) {
    double highest = 1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            highest = std::max(highest, contrast(image.pixelColor(x, y), background));
        }
    }
    return highest;
}

TEST_F(Form1Test, AListSelectsOneEntryAtATimeAndSolveIsTheDefaultButton) {
    writeWordList("rate\r\ntree\r\nteeter\r\n");
    typePuzzle("e", "rta", "0");
    QTest::keyClick(textE(), Qt::Key_Return);
    auto* list2 = control<QListView>("List2");
    ASSERT_EQ(list2->model()->rowCount(), 3);
    // A click, then clicks with Ctrl and Shift held: each leaves one entry selected.
    const std::pair<int, Qt::KeyboardModifiers> clicks[] = {
        {0, Qt::NoModifier}, {1, Qt::ControlModifier}, {2, Qt::ShiftModifier}};
    for (const auto& [row, modifiers] : clicks) {
        const QModelIndex entry = list2->model()->index(row, 0);
        QTest::mouseClick(list2->viewport(), Qt::LeftButton, modifiers,
                          list2->visualRect(entry).center());
        EXPECT_EQ(list2->selectionModel()->selectedIndexes(), QModelIndexList{entry}) << row;
    }
    // A screen reader tells that Enter presses Solve.
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(control<QPushButton>("Command3"))
                    ->state()
                    .defaultButton);
}

TEST_F(Form1Test, APastedMinimumIsKeptWhole) {
    // Thousands of zeros before a 4 still make 4: none is cut off.
    writeWordList("tee\r\ntree\r\n");
    typePuzzle("e", "rt", "");
    combo1()->lineEdit()->insert(QString(100'000, u'0') + u'4');  // as a paste does
    QTest::keyClick(combo1()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo1()->currentText().size(), 100'001);
    EXPECT_EQ(entries("List2"), (QStringList{"tree"}));
}

// Sets a palette for the whole program for as long as it lives, however the test
// that sets it ends.
class ProgramPalette {
public:
    explicit ProgramPalette(const QPalette& palette) : m_before(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~ProgramPalette() { QApplication::setPalette(m_before); }
    ProgramPalette(const ProgramPalette&) = delete;
    ProgramPalette& operator=(const ProgramPalette&) = delete;

private:
    QPalette m_before;
};

TEST(Form1, TextOnTheDesignsColoursStaysLegibleUnderADarkPalette) {
    QPalette dark;
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        dark.setColor(role, QColor(40, 40, 40));
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, QColor(230, 230, 230));
    }
    const ProgramPalette darkDesktop(dark);
    QTemporaryDir directory;
    std::ofstream(directory.filePath("abc.txt").toStdString(), std::ios::binary) << "rate\r\n";
    {
        Form1 form(systemPath(directory));
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(form.findChild<QLineEdit*>("TextE"), Qt::Key_Return);
        QApplication::processEvents();
        const QColor colourA(255, 192, 128);
        const QColor colourB(255, 224, 192);
        for (const char* label : {"Label5", "Label9", "Label4", "Label7", "Label2"}) {
            EXPECT_GE(inkContrast(form.findChild<QWidget*>(label)->grab().toImage(), colourA), 4.5)
                << label;
        }
        auto* button = form.findChild<QPushButton*>("Command3");
        const QImage inside = button->grab().toImage().copy(button->rect().adjusted(4, 4, -4, -4));
        EXPECT_GE(inkContrast(inside, colourA), 4.5);
        auto* list = form.findChild<QListView*>("List2");
        EXPECT_GE(inkContrast(list->viewport()->grab().toImage(), colourB), 4.5);
        // The outline is a line, which needs 3:1 to be seen.
        EXPECT_GE(inkContrast(form.findChild<QWidget*>("Shape1")->grab().toImage(), colourA), 3);
    }
}

TEST_F(Form1Test, APastedWallOfTextFailsAtOnce) {
    writeWordList("rate\r\ntree\r\n");
    textE()->setFocus();
    textE()->insert(QString(100'000, u'e'));     // as a paste does
    EXPECT_EQ(textE()->text().size(), 100'000);  // no length limit
    const auto message = pressRecordingMessage([&] { QTest::keyClick(textE(), Qt::Key_Return); });
    ASSERT_TRUE(message.has_value());
    EXPECT_TRUE(entries("List2").isEmpty());
    EXPECT_TRUE(caption("Label2").isEmpty());
}

}  // namespace
