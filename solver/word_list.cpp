#include "word_list.h"

#include "characters.h"
#include "eight_bytes.h"
#include "solve_failure.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

std::FILE* openForReading(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// The first CR or LF in [p, end), or end.
const char* findLineEnd(const char* p, const char* end) {
    // Eight bytes at a time: (x - 0x0E0E..) & ~x & 0x8080.. flags the bytes of x
    // below 14, as every line end is, and its lowest flag is always a true one.
    using eight_bytes::kHighBits;
    using eight_bytes::kOnes;
    while (end - p >= 8) {
        const std::uint64_t x = eight_bytes::load(p);
        const std::uint64_t low = (x - kOnes * 0x0E) & ~x & kHighBits;
        if (low == 0) {
            p += 8;
            continue;
        }
        p += std::countr_zero(low) / 8;
        if (*p == '\r' || *p == '\n') {
            return p;
        }
        ++p;  // a tab or another control character
    }
    while (p < end && *p != '\r' && *p != '\n') {
        ++p;
    }
    return p;
}

}  // namespace

WordListReader::WordListReader(const std::filesystem::path& path)
    : m_file(openForReading(path)),
      m_buffer(std::make_unique_for_overwrite<char[]>(kBlockSize + Word::kPadding)) {
    if (!m_file) {
        throw SolveFailure("the word list can't be opened");
    }
    refill();
}

bool WordListReader::refill() {
    const std::size_t size = std::fread(m_buffer.get(), 1, kBlockSize, m_file.get());
    if (size == 0 && std::ferror(m_file.get())) {
        throw SolveFailure("the word list can't be read");
    }
    m_pos = m_buffer.get();
    m_end = m_pos + size;
    std::memset(m_buffer.get() + size, 0, Word::kPadding);  // read past a line's end, never used
    return size != 0;
}

bool WordListReader::atEndOfBlock() {
    for (;;) {
        if (m_pos == m_end && !refill()) {
            return true;
        }
        if (m_afterCr) {
            m_afterCr = false;
            if (*m_pos == '\n') {
                ++m_pos;
                continue;
            }
        }
        return false;
    }
}

std::string_view WordListReader::readLine() {
    const char* lineEnd = findLineEnd(m_pos, m_end);
    if (lineEnd != m_end) {
        const std::string_view line(m_pos, static_cast<std::size_t>(lineEnd - m_pos));
        skipLineEnd(lineEnd);
        return line;
    }
    // The line runs past this block: gather it until its end or the file's end.
    m_longLine.assign(m_pos, m_end);
    while (refill()) {
        lineEnd = findLineEnd(m_pos, m_end);
        m_longLine.append(m_pos, lineEnd);
        if (lineEnd != m_end) {
            skipLineEnd(lineEnd);
            break;
        }
    }
    const std::size_t size = m_longLine.size();
    m_longLine.append(Word::kPadding, '\0');
    return std::string_view(m_longLine).substr(0, size);
}

void WordListReader::skipLineEnd(const char* lineEnd) {
    m_pos = lineEnd + 1;
    if (*lineEnd == '\r') {
        if (m_pos == m_end) {
            m_afterCr = true;  // an LF may start the next block
        } else if (*m_pos == '\n') {
            ++m_pos;
        }
    }
}
