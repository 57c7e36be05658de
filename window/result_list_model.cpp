#include "result_list_model.h"

#include "characters.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kBlockSize = std::size_t{1024} * 1024;

// A view counts its rows in an int; entries past that are counted but not shown.
constexpr auto kMostRows = static_cast<std::size_t>(std::numeric_limits<int>::max());

// Where every this many entries of a block start is kept; an entry is found from
// the mark before it by stepping over at most this many less one.
constexpr std::size_t kEntriesPerMark = 32;

// A length is written seven bits to a byte, low bits first; the top bit says
// that another byte follows.
std::size_t lengthBytes(std::size_t length) {
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7) {
        ++bytes;
    }
    return bytes;
}

char* writeLength(char* out, std::size_t length) {
    for (; length >= 0x80; length >>= 7) {
        *out++ = static_cast<char>(static_cast<unsigned char>(length | 0x80));
    }
    *out++ = static_cast<char>(length);
    return out;
}

const char* readLength(const char* in, std::size_t& length) {
    length = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*in++);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            return in;
        }
    }
}

// Drawing an entry takes time in proportion to its length, and a list shows only
// the start of a long one anyway: past this many bytes an entry is shown cut short.
constexpr std::size_t kShownBytes = 1024;

QString shownText(std::string_view word) {
    if (word.size() <= kShownBytes) {
        return QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
    }
    const std::string_view shown = cutBetweenCharacters(word, kShownBytes);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())) + QChar(0x2026);
}

}  // namespace

void ResultListModel::clear() {
    beginResetModel();
    std::vector<Block> blocks;
    blocks.swap(m_blocks);
    std::erase_if(blocks, [](const Block& block) { return block.capacity != kBlockSize; });
    for (Block& block : blocks) {
        block.used = 0;
        block.entries = 0;
        block.marks.clear();
    }
    if (m_spare.empty()) {
        m_spare = std::move(blocks);
    }
    m_entryCount = 0;
    m_rowsShown = 0;
    m_longestRowShown = -1;
    endResetModel();
}

void ResultListModel::append(std::string_view word) {
    const std::size_t bytes = lengthBytes(word.size()) + word.size();
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < bytes) {
        if (bytes <= kBlockSize && !m_spare.empty()) {
            m_blocks.push_back(std::move(m_spare.back()));
            m_spare.pop_back();
        } else {
            // A word longer than a block gets a block of its own size.
            const std::size_t capacity = std::max(kBlockSize, bytes);
            m_blocks.push_back(
                {std::make_unique_for_overwrite<char[]>(capacity), capacity, 0, 0, 0, {}});
        }
        m_blocks.back().firstEntry = m_entryCount;
    }
    Block& block = m_blocks.back();
    if (block.entries % kEntriesPerMark == 0) {
        // Below 4 GiB: only an entry that starts a block starts past a megabyte.
        block.marks.push_back(static_cast<std::uint32_t>(block.used));
    }
    char* out = writeLength(block.bytes.get() + block.used, word.size());
    if (!word.empty()) {
        std::memcpy(out, word.data(), word.size());
    }
    block.used += bytes;
    ++block.entries;
    if (m_entryCount < kMostRows && (m_entryCount == 0 || word.size() > m_longestBytes)) {
        m_longestEntry = m_entryCount;
        m_longestBytes = word.size();
    }
    ++m_entryCount;
}

std::string_view ResultListModel::word(std::size_t row) const {
    // The last block that starts at or before the row; a block left empty by an
    // append that failed starts where the next one does, and is passed over.
    const auto after = std::upper_bound(
        m_blocks.begin(), m_blocks.end(), row,
        [](std::size_t wanted, const Block& block) { return wanted < block.firstEntry; });
    const Block& block = *(after - 1);
    const std::size_t entry = row - block.firstEntry;
    const char* at = block.bytes.get() + block.marks[entry / kEntriesPerMark];
    std::size_t length = 0;
    for (std::size_t skipped = 0; skipped < entry % kEntriesPerMark; ++skipped) {
        at = readLength(at, length);
        at += length;
    }
    at = readLength(at, length);
    return {at, length};
}

void ResultListModel::publish() {
    std::vector<Block>().swap(m_spare);
    const int rows = static_cast<int>(std::min(m_entryCount, kMostRows));
    if (rows > m_rowsShown) {
        beginInsertRows({}, m_rowsShown, rows - 1);
        m_rowsShown = rows;
        m_longestRowShown = static_cast<int>(m_longestEntry);
        endInsertRows();
    }
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowsShown;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rowsShown ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
        return {};
    }
    return shownText(word(static_cast<std::size_t>(index.row())));
}
