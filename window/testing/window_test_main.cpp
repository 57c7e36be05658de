// The window tests' main(): headless (on Windows with the system's fonts), under a
// style that puts icons on dialog buttons, and failing at once on a message box
// that no test waits for.

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QProxyStyle>
#include <QTimer>

#include <gtest/gtest.h>

bool messageExpected = false;

int main(int argc, char** argv) {
    // Headless unless a display is asked for, for listing the tests too.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#ifdef _WIN32
    // Headless on Windows, the toolkit reads its fonts from a folder it is given, and
    // knows no font for the window; the windows platform takes the system's.
    const bool headless = qgetenv("QT_QPA_PLATFORM").startsWith("offscreen");
    if (headless && !qEnvironmentVariableIsSet("QT_QPA_FONTDIR")) {
        qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");
    }
#endif
    QApplication app(argc, argv);
#ifdef _WIN32
    if (headless) {
        QApplication::setFont(QFontDatabase::hasFamily(QStringLiteral("Segoe UI"))
                                  ? QFont(QStringLiteral("Segoe UI"), 9)
                                  : QFont(QStringLiteral("Tahoma"), 8));
    }
#endif
    // A style that puts icons on dialog buttons, as some desktops' do.
    struct ButtonsWithIcons : QProxyStyle {
        using QProxyStyle::QProxyStyle;
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* data) const override {
            return hint == SH_DialogButtonBox_ButtonsHaveIcons
                       ? 1
                       : QProxyStyle::styleHint(hint, option, widget, data);
        }
    };
    QApplication::setStyle(new ButtonsWithIcons(QStringLiteral("fusion")));
    // A message box that no test waits for fails the test at once, naming it, and
    // is closed, rather than waiting for ever for a click.
    QTimer unexpectedMessages;
    QObject::connect(&unexpectedMessages, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && !messageExpected) {
            ADD_FAILURE() << "an unexpected message box, \"" << box->windowTitle().toStdString()
                          << "\": " << box->text().toStdString();
            box->done(QMessageBox::Ok);
        }
    });
    unexpectedMessages.start(50);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
