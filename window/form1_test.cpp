#include "form1.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace {

// The window, driven as a user would, over a word list in a scratch directory.
class Form1Test : public testing::Test {
protected:
    Form1Test() : form(directory.path().toStdString()) {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void writeWordList(std::string_view bytes) {
        std::ofstream(directory.filePath("abc.txt").toStdString(), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    template <typename T>
    T* control(const char* name) {
        T* widget = form.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* textE() { return control<QLineEdit>("TextE"); }
    QLineEdit* textO() { return control<QLineEdit>("TextO"); }
    QComboBox* combo1() { return control<QComboBox>("Combo1"); }
    QString caption(const char* label) { return control<QLabel>(label)->text(); }

    QStringList entries(const char* list) {
        QStringList words;
        const QAbstractItemModel* model = control<QListView>(list)->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            words << model->index(row, 0).data().toString();
        }
        return words;
    }

    void typePuzzle(const QString& essentials, const QString& others, const QString& minimum) {
        textE()->clear();
        QTest::keyClicks(textE(), essentials);
        textO()->clear();
        QTest::keyClicks(textO(), others);
        combo1()->lineEdit()->selectAll();
        QTest::keyClicks(combo1()->lineEdit(), minimum);
    }

    struct Message {
        QString title, text;
        QMessageBox::Icon icon;
        QList<QAbstractButton*> buttons;
        QMessageBox::StandardButton okRole;
    };

    // Runs `press`, and records and closes (with OK) the message box it shows, if any.
    std::optional<Message> pressRecordingMessage(const std::function<void()>& press) {
        std::optional<Message> seen;
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            seen = Message{box->windowTitle(), box->text(), box->icon(), box->buttons(),
                           box->standardButton(box->buttons().value(0))};
            box->button(QMessageBox::Ok)->click();
        });
        closer.start();
        press();
        // A window manager gives the focus back to the window once the message has
        // gone; the headless platform leaves that to the program.
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        return seen;
    }

    QTemporaryDir directory;
    Form1 form;
};

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
    // A combo box on Linux names itself by its text and points to its label instead.
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

TEST_F(Form1Test, LayoutKeepsTheDesignsProportions) {
    // Every control stands where the design puts it, all scaled by one factor.
    const double scale = form.width() / 9945.0;
    EXPECT_NEAR(form.height() / 8055.0, scale, 0.001);
    EXPECT_GE(scale, 1 / 15.0 - 0.001);
    const struct {
        const char* name;
        int left, top, width, height;
    } design[] = {
        {"Shape1", 480, 120, 9015, 615},   {"Label5", 720, 240, 8655, 495},
        {"TextE", 2760, 1200, 4935, 375},  {"Combo1", 2760, 2400, 1335, 315},
        {"List2", 2400, 3360, 3975, 1230}, {"Label2", 6600, 4200, 1575, 375},
        {"List3", 2400, 5160, 3975, 2595}, {"Command3", 6840, 6360, 1215, 495},
        {"Label3", 6600, 7320, 1095, 375}, {"Label1", 840, 5760, 1695, 375},
    };
    for (const auto& place : design) {
        const QRect rect = control<QWidget>(place.name)->geometry();
        EXPECT_NEAR(rect.x(), place.left * scale, 1) << place.name;
        EXPECT_NEAR(rect.y(), place.top * scale, 1) << place.name;
        EXPECT_NEAR(rect.width(), place.width * scale, 1) << place.name;
        EXPECT_NEAR(rect.height(), place.height * scale, 1) << place.name;
    }
    // The outline frames the instructions, and both are drawn with it on top.
    const QRect outline = control<QFrame>("Shape1")->geometry();
    const QRect instructions = control<QLabel>("Label5")->geometry();
    EXPECT_TRUE(outline.contains(instructions));
    const QObjectList& stack = form.children();
    EXPECT_GT(stack.indexOf(control<QFrame>("Shape1")), stack.indexOf(control<QLabel>("Label5")));
    EXPECT_GT(stack.indexOf(control<QListView>("List3")), stack.indexOf(control<QLabel>("Label8")));
    EXPECT_GT(stack.indexOf(control<QListView>("List2")), stack.indexOf(control<QLabel>("Label7")));
    // Every caption can be read in full, above the list that may lie over its label.
    const auto visibleHeight = [&](const char* label, const char* list) {
        return control<QWidget>(list)->y() - control<QLabel>(label)->y();
    };
    const struct {
        const char* name;
        int height;
    } captions[] = {
        {"Label4", control<QLabel>("Label4")->height()},
        {"Label5", control<QLabel>("Label5")->height()},
        {"Label9", control<QLabel>("Label9")->height()},
        {"Label10", control<QLabel>("Label10")->height()},
        {"Label7", visibleHeight("Label7", "List2")},
        {"Label8", visibleHeight("Label8", "List3")},
    };
    for (const auto& caption : captions) {
        const auto* label = control<QLabel>(caption.name);
        EXPECT_LE(label->heightForWidth(label->width()), caption.height) << caption.name;
        EXPECT_LE(label->minimumSizeHint().width(), label->width()) << caption.name;
    }
}

TEST_F(Form1Test, ColoursAreThoseOfTheDesign) {
    const QImage window = form.grab().toImage();
    EXPECT_EQ(window.pixelColor(2, form.height() - 2), QColor(255, 192, 128));  // colour A
    auto* list = control<QListView>("List2");
    const QImage listImage = list->viewport()->grab().toImage();
    EXPECT_EQ(listImage.pixelColor(listImage.width() / 2, listImage.height() / 2),
              QColor(255, 224, 192));  // colour B
    // The button is filled with colour A, inside its border.
    auto* button = control<QPushButton>("Command3");
    const QImage buttonImage = button->grab().toImage();
    EXPECT_EQ(buttonImage.pixelColor(6, button->height() / 2), QColor(255, 192, 128));
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
        // Each press reads the list afresh.
        writeWordList("rate\r\n");
        QTest::keyClick(input, Qt::Key_Enter);
        EXPECT_EQ(entries("List2"), (QStringList{"rate"}));
        EXPECT_EQ(caption("Label2"), QStringLiteral("1"));
    }
    EXPECT_EQ(combo1()->count(), 6);  // Enter in the length box adds no item
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

TEST_F(Form1Test, AMissingListShowsTheMessageAndChangesNothing) {
    writeWordList("rate\r\n");
    typePuzzle("e", "rta", "4");
    QTest::keyClick(textE(), Qt::Key_Return);
    QFile::remove(directory.filePath("abc.txt"));

    const auto message = pressRecordingMessage([&] { QTest::keyClick(textE(), Qt::Key_Return); });
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->title, QStringLiteral("trelliwick"));
    EXPECT_EQ(message->text,
              QStringLiteral("File containing list of words - 'abc.txt' not found."));
    EXPECT_EQ(message->icon, QMessageBox::NoIcon);
    EXPECT_EQ(message->buttons.size(), 1);
    EXPECT_EQ(message->okRole, QMessageBox::Ok);
    EXPECT_EQ(entries("List2"), (QStringList{"rate"}));
    EXPECT_EQ(entries("List3"), (QStringList{"rate"}));
    EXPECT_EQ(caption("Label2"), QStringLiteral("1"));
    EXPECT_EQ(caption("Label3"), QStringLiteral("1"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy pointer is gone
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

int main(int argc, char** argv) {
    // Headless unless a display is asked for, for listing the tests too.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
