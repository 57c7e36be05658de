#include "form1.h"

#include <QApplication>
#include <QIcon>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trelliwick"));
    QApplication::setApplicationVersion(QStringLiteral(TRELLIWICK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.trelliwick.trelliwick"));
#ifdef TRELLIWICK_ICON_SIZES
    QIcon icon;
    for (const int size : {TRELLIWICK_ICON_SIZES}) {
        icon.addFile(QStringLiteral(":/icons/trelliwick-%1.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
#endif

    Form1 window(std::filesystem::path(QApplication::applicationDirPath().toStdU16String()));
    window.show();
    return QApplication::exec();
}
