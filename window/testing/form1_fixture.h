#pragma once

#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string_view>

/// A scratch directory as the system names it, and the program: with the system's
/// separators, every character whole.
inline std::filesystem::path systemPath(const QTemporaryDir& directory) {
    return QDir::toNativeSeparators(directory.path()).toStdU16String();
}

/// Whether a test is waiting for a message box; one that shows while none is fails
/// the test at once (see window_test_main.cpp).
extern bool messageExpected;

/// The window, driven as a user would, over a word list in a scratch directory.
class Form1Test : public testing::Test {
protected:
    Form1Test() : form(systemPath(directory)) {
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
        bool okHasIcon;
        int list2RowsShown;                      // what List2 shows behind the message
        std::optional<Qt::CursorShape> pointer;  // the program's pointer, if it sets one
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
            seen = Message{box->windowTitle(),
                           box->text(),
                           box->icon(),
                           box->buttons(),
                           box->standardButton(box->buttons().value(0)),
                           !box->button(QMessageBox::Ok)->icon().isNull(),
                           control<QListView>("List2")->model()->rowCount(),
                           QApplication::overrideCursor() != nullptr
                               ? std::optional(QApplication::overrideCursor()->shape())
                               : std::nullopt};
            box->button(QMessageBox::Ok)->click();
        });
        closer.start();
        messageExpected = true;
        press();
        messageExpected = false;
        // A window manager gives the focus back to the window once the message has
        // gone; the headless platform leaves that to the program.
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        return seen;
    }

    QTemporaryDir directory;
    Form1 form;
};
