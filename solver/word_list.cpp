#include "word_list.h"

#include "solve_failure.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace {

// How many chunks' masks are worked out at a time.
constexpr std::size_t kMaskedChunks = 1024;

constexpr std::size_t roundUpToChunk(std::size_t size) {
    return (size + kChunkSize - 1) / kChunkSize * kChunkSize;
}

// The bits of `bits` below bit `count`, which is below 64.
constexpr std::uint64_t below(std::uint64_t bits, unsigned count) {
    return bits & ((std::uint64_t{1} << count) - 1);
}

// Where the last set bit of non-zero `bits` lies.
unsigned lastBit(std::uint64_t bits) {
    return 63 - static_cast<unsigned>(std::countl_zero(bits));
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
WordListReader::Descriptor::~Descriptor() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}
#endif

WordListReader::WordListReader(const std::filesystem::path& path, std::size_t readSize)
    : m_file(openList(path)), m_readSize(std::max<std::size_t>(readSize, 1)) {
#ifdef _WIN32
    const bool opened = m_file != nullptr;
#else
    const bool opened = m_file.get() >= 0;
#endif
    if (!opened) {
        throw SolveFailure("the word list can't be opened");
    }
    readMore();
}

std::size_t WordListReader::readSome(char* bytes, std::size_t size) {
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

bool WordListReader::readMore() {
    if (m_atFileEnd) {
        return false;
    }
    if (m_pos > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
    }
    if (m_end == m_capacity) {
        // Only a line longer than the buffer grows it. Growing by half keeps the
        // copies few; a large block is remapped rather than copied, and the pages
        // beyond what is read are never touched.
        const std::size_t capacity =
            roundUpToChunk(std::max(m_capacity + m_capacity / 2, m_end + m_readSize));
        char* grown = static_cast<char*>(std::realloc(m_buffer.get(), capacity + kChunkSize));
        if (grown == nullptr) {
            throw std::bad_alloc();
        }
        static_cast<void>(m_buffer.release());  // realloc has taken the old block
        m_buffer.reset(grown);
        m_capacity = capacity;
    }
    m_masks.clear();
    const std::size_t count =
        readSome(m_buffer.get() + m_end, std::min(m_readSize, m_capacity - m_end));
    if (count == 0) {
        m_atFileEnd = true;
        return false;
    }
    m_end += count;
    // The chunk after the last byte read is zeros: masks see no line end there.
    std::memset(m_buffer.get() + m_end, 0, kChunkSize);
    return true;
}

const ChunkMasks& WordListReader::scanFrom(std::size_t chunk) {
    const std::size_t chunksRead = roundUpToChunk(m_end) / kChunkSize;
    const std::size_t count = std::min(kMaskedChunks, chunksRead - chunk);
    m_masks.resize(count);
    scanChunks(m_buffer.get() + chunk * kChunkSize, count, m_wanted, m_masks.data());
    m_firstMasked = chunk;
    if (chunk + count == chunksRead && m_end % kChunkSize != 0) {
        // A wanted NUL is no byte of the file beyond its end.
        m_masks.back().wanted = below(m_masks.back().wanted, m_end % kChunkSize);
    }
    return m_masks.front();
}

bool WordListReader::atEndOfBlock() {
    for (;;) {
        if (m_pos == m_end && !readMore()) {
            return true;
        }
        if (m_afterCr) {
            m_afterCr = false;
            if (m_buffer.get()[m_pos] == '\n') {
                ++m_pos;
                continue;
            }
        }
        return false;
    }
}

std::string_view WordListReader::readLine() {
    std::size_t scan = m_pos;  // no line end lies in [m_pos, scan)
    bool ascii = true;
    for (;;) {
        for (; scan < m_end; scan = nextChunk(scan)) {
            const ChunkMasks masks = masksFrom(scan);
            if (masks.lineEnds != 0) {
                const auto length = static_cast<unsigned>(std::countr_zero(masks.lineEnds));
                m_lineIsAscii = ascii && below(masks.high, length) == 0;
                const std::string_view line(m_buffer.get() + m_pos, scan + length - m_pos);
                skipLineEnd(scan + length);
                return line;
            }
            ascii = ascii && masks.high == 0;
        }
        // The line runs past what has been read: read on, keeping it whole.
        const std::size_t scanned = m_end - m_pos;
        if (!readMore()) {
            const std::string_view line(m_buffer.get() + m_pos, m_end - m_pos);
            m_pos = m_end;
            m_lineIsAscii = ascii;
            return line;
        }
        scan = m_pos + scanned;
    }
}

void WordListReader::skipLineEnd(std::size_t lineEnd) {
    m_pos = lineEnd + 1;
    if (m_buffer.get()[lineEnd] == '\r') {
        if (m_pos == m_end) {
            m_afterCr = true;  // an LF may start the next block
        } else if (m_buffer.get()[m_pos] == '\n') {
            ++m_pos;
        }
    }
}

void WordListReader::skipLinesWithout(std::optional<BytePair> wanted) {
    if (wanted && *wanted != m_wanted) {
        m_wanted = *wanted;
        m_masks.clear();
    }
    if (atEnd()) {
        return;
    }
    // The line that starts at `lineStart` holds no byte looked for before `scan`.
    std::size_t lineStart = m_pos;
    std::size_t scan = m_pos;
    for (;;) {
        for (; scan < m_end; scan = nextChunk(scan)) {
            const ChunkMasks masks = masksFrom(scan);
            // A wanted CR or LF is no byte of a line.
            const std::uint64_t wantedInLines = wanted ? masks.wanted & ~masks.lineEnds : 0;
            const std::uint64_t stops = wantedInLines | masks.high;
            if (stops != 0) {
                const std::uint64_t endsBefore =
                    below(masks.lineEnds, static_cast<unsigned>(std::countr_zero(stops)));
                m_pos = endsBefore == 0 ? lineStart : scan + lastBit(endsBefore) + 1;
                return;
            }
            if (masks.lineEnds != 0) {
                lineStart = scan + lastBit(masks.lineEnds) + 1;
            }
        }
        if (lineStart == m_end) {
            // Every line read so far is passed over.
            m_afterCr = m_buffer.get()[m_end - 1] == '\r';
            m_pos = m_end;
            if (atEnd()) {
                return;
            }
            lineStart = scan = m_pos;
            continue;
        }
        // A line runs past what has been read: read on, keeping it whole.
        m_pos = lineStart;
        const std::size_t scanned = m_end - m_pos;
        if (!readMore()) {
            m_pos = m_end;  // the last line holds none: passed over
            return;
        }
        lineStart = m_pos;
        scan = m_pos + scanned;
    }
}

void WordListReader::passOver(const LinesToPassOver& lines) {
    for (;;) {
        if (lines.lackingLetter) {
            skipLinesWithout(lines.letter);
        }
        // The line ahead holds the letter; if a short line is passed over, the next
        // one must be looked at again.
        if (lines.shorterThan == 0 || !skipLinesShorterThan(lines.shorterThan) ||
            !lines.lackingLetter) {
            return;
        }
    }
}

bool WordListReader::skipLinesShorterThan(std::size_t bytes) {
    bool passed = false;
    std::size_t scanned = 0;  // bytes of the line ahead known to hold no line end
    for (;;) {
        if (atEnd()) {
            return passed;
        }
        for (std::size_t scan = m_pos + scanned; scan < m_end;) {
            // The line ends of the chunk from `scan` on, taken one by one.
            for (std::uint64_t ends = masksFrom(scan).lineEnds; ends != 0; ends &= ends - 1) {
                const std::size_t lineEnd = scan + static_cast<unsigned>(std::countr_zero(ends));
                if (lineEnd - m_pos >= bytes) {
                    return passed;
                }
                // Past the CR of a CRLF, the LF ends an empty line, passed over next.
                m_pos = lineEnd + 1;
                passed = true;
            }
            scan = nextChunk(scan);
            if (std::min(scan, m_end) - m_pos >= bytes) {
                return passed;
            }
        }
        // The line ahead runs past what has been read, and is short so far.
        scanned = m_end - m_pos;
        if (scanned > 0 && !readMore()) {
            m_pos = m_end;  // the last line, too short
            return true;
        }
    }
}
