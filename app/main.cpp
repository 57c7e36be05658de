#include "form1.h"

#include <QApplication>
#include <QIcon>

#include <filesystem>
#include <system_error>

namespace {

// The directory that holds the executable, byte for byte. Qt's answer passes
// through a QString, which turns bytes of a folder name that are not UTF-8 into
// U+FFFD and so names a folder that is not there; Linux tells the real path.
std::filesystem::path executableDirectory() {
#ifdef __linux__
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return executable.parent_path();
    }
#endif
    return {QApplication::applicationDirPath().toStdU16String()};
}

}  // namespace

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

    Form1 window(executableDirectory());
    window.show();
    return QApplication::exec();
}
