#include "form1.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trelliwick"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    Form1 window(std::filesystem::path(QApplication::applicationDirPath().toStdU16String()));
    window.show();
    return QApplication::exec();
}
