#include "word_list_file.h"

#include "solve_failure.h"

#include <cerrno>
#include <string>
#include <system_error>

#ifndef _WIN32
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
SolveFailure fileFailure(const std::filesystem::path& path, int error) {
    return SolveFailure{nameOf(path) + ": " + std::generic_category().message(error)};
}

#ifdef _WIN32
std::FILE* openList(const std::filesystem::path& path) {
    return _wfopen(path.c_str(), L"rb");
}
#else
int openList(const std::filesystem::path& path) {
    // Opened without waiting, for a pipe that nobody writes to would never open,
    // and kept only if it is a regular file: a pipe or a device may never end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw fileFailure(path, errno);
    }
    struct stat status {};
    const int error = ::fstat(fd, &status) != 0 ? errno : 0;
    if (error != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        if (error != 0 || S_ISDIR(status.st_mode)) {
            throw fileFailure(path, error != 0 ? error : EISDIR);
        }
        throw SolveFailure(nameOf(path) + ": not a regular file");
    }
    return fd;
}
#endif

}  // namespace

#ifndef _WIN32
WordListFile::Descriptor::~Descriptor() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}
#endif

WordListFile::WordListFile(const std::filesystem::path& path)
    : m_path(path), m_file(openList(path)) {
#ifdef _WIN32
    if (m_file == nullptr) {
        throw fileFailure(path, errno);
    }
#endif
}

std::size_t WordListFile::read(char* bytes, std::size_t size) {
#ifdef _WIN32
    const std::size_t count = std::fread(bytes, 1, size, m_file.get());
    if (count == 0 && std::ferror(m_file.get())) {
        throw fileFailure(m_path, errno);
    }
    return count;
#else
    for (;;) {
        const ssize_t count = ::read(m_file.get(), bytes, size);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            throw fileFailure(m_path, errno);
        }
    }
#endif
}
