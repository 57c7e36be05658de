#include "word_list.h"

#include "solve_failure.h"

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
    for (; p < end; ++p) {
        // Every byte of a line end is at most '\r'; most letters are far above it.
        if (static_cast<unsigned char>(*p) <= '\r' && (*p == '\r' || *p == '\n')) {
            break;
        }
    }
    return p;
}

}  // namespace

WordListReader::WordListReader(const std::filesystem::path& path)
    : m_file(openForReading(path)), m_buffer(kBlockSize) {
    if (!m_file) {
        throw SolveFailure("the word list can't be opened");
    }
    refill();
}

bool WordListReader::refill() {
    const std::size_t size = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file.get());
    if (size == 0 && std::ferror(m_file.get())) {
        throw SolveFailure("the word list can't be read");
    }
    m_pos = m_buffer.data();
    m_end = m_pos + size;
    return size != 0;
}

bool WordListReader::atEnd() {
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
        m_afterCr = *lineEnd == '\r';
        m_pos = lineEnd + 1;
        return line;
    }
    // The line runs past this block: gather it until its end or the file's end.
    m_longLine.assign(m_pos, m_end);
    while (refill()) {
        lineEnd = findLineEnd(m_pos, m_end);
        m_longLine.append(m_pos, lineEnd);
        if (lineEnd != m_end) {
            m_afterCr = *lineEnd == '\r';
            m_pos = lineEnd + 1;
            break;
        }
    }
    return m_longLine;
}
