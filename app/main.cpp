#include "form1.h"

#include <QApplication>
#include <QIcon>

#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The directory that holds the executable, as the system names it. Qt's answer
// passes through a QString, which turns bytes of a Linux folder name that are not
// UTF-8 into U+FFFD and so names a folder that is not there; Linux tells the real
// path, and Windows its wide name, which no code page narrows.
std::filesystem::path executableDirectory() {
#ifdef _WIN32
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (size == 0) {
            break;
        }
        if (size < name.size()) {
            name.resize(size);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);  // cut short: a longer path than MAX_PATH
    }
#elif defined(__linux__)
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
