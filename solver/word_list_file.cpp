#include "word_list_file.h"

#include "solve_failure.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The path as its bytes, for a cause.
std::string nameOf(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

// A failure of the file at `path`, in the system's words for `error`.
SolveFailure fileFailure(const std::filesystem::path& path, const std::error_code& error) {
    return SolveFailure{nameOf(path) + ": " + error.message()};
}

SolveFailure notARegularFile(const std::filesystem::path& path) {
    return SolveFailure{nameOf(path) + ": not a regular file"};
}

#ifdef _WIN32
std::error_code lastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// Opened by its wide name, so that a folder named in any script is found, and
// shared, so that an editor that has the list open keeps it. A directory and a
// device (a pipe, a console, a serial port) are no word list.
HANDLE openList(const std::filesystem::path& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const std::error_code error = lastError();
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            throw fileFailure(path, std::make_error_code(std::errc::is_a_directory));
        }
        throw fileFailure(path, error);
    }
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);
        throw notARegularFile(path);
    }
    return file;
}
#else
std::error_code lastError() {
    return {errno, std::generic_category()};
}

int openList(const std::filesystem::path& path) {
    // Opened without waiting, for a pipe that nobody writes to would never open,
    // and kept only if it is a regular file: a pipe or a device may never end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw fileFailure(path, lastError());
    }
    struct stat status {};
    const std::error_code error = ::fstat(fd, &status) != 0 ? lastError() : std::error_code();
    if (error || !S_ISREG(status.st_mode)) {
        ::close(fd);
        if (error || S_ISDIR(status.st_mode)) {
            throw fileFailure(path,
                              error ? error : std::make_error_code(std::errc::is_a_directory));
        }
        throw notARegularFile(path);
    }
    return fd;
}
#endif

}  // namespace

WordListFile::OpenFile::~OpenFile() {
#ifdef _WIN32
    ::CloseHandle(m_native);
#else
    ::close(m_native);
#endif
}

WordListFile::WordListFile(const std::filesystem::path& path)
    : m_path(path), m_file(openList(path)) {}

std::size_t WordListFile::read(char* bytes, std::size_t size) {
#ifdef _WIN32
    DWORD count = 0;
    const auto asked = static_cast<DWORD>(std::min<std::size_t>(size, DWORD{1} << 30));
    if (::ReadFile(m_file.get(), bytes, asked, &count, nullptr) == 0) {
        throw fileFailure(m_path, lastError());
    }
    return count;
#else
    for (;;) {
        const ssize_t count = ::read(m_file.get(), bytes, size);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            throw fileFailure(m_path, lastError());
        }
    }
#endif
}
