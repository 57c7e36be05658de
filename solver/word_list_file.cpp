#include "word_list_file.h"

#include "solve_failure.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace {

#ifdef _WIN32
std::FILE* openList(const std::filesystem::path& path) {
    return _wfopen(path.c_str(), L"rb");
}
#else
int openList(const std::filesystem::path& path) {
    // Opened without waiting, for a pipe that nobody writes to would never open,
    // and kept only if it is a regular file: a pipe or a device may never end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(fd);
        return -1;
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

WordListFile::WordListFile(const std::filesystem::path& path) : m_file(openList(path)) {
#ifdef _WIN32
    const bool opened = m_file != nullptr;
#else
    const bool opened = m_file.get() >= 0;
#endif
    if (!opened) {
        throw SolveFailure("the word list can't be opened");
    }
}

std::size_t WordListFile::read(char* bytes, std::size_t size) {
#ifdef _WIN32
    const std::size_t count = std::fread(bytes, 1, size, m_file.get());
    if (count == 0 && std::ferror(m_file.get())) {
        throw SolveFailure("the word list can't be read");
    }
    return count;
#else
    for (;;) {
        const ssize_t count = ::read(m_file.get(), bytes, size);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            throw SolveFailure("the word list can't be read");
        }
    }
#endif
}
