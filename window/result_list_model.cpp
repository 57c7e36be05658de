#include "result_list_model.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kBlockSize = std::size_t{1024} * 1024;

// Drawing an entry takes time in proportion to its length, and a list shows only
// the start of a long one anyway: past this many bytes an entry is shown cut short.
constexpr std::size_t kShownBytes = 1024;

QString shownText(std::string_view word) {
    if (word.size() <= kShownBytes) {
        return QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
    }
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) {
        --cut;  // not inside a character
    }
    return QString::fromUtf8(word.data(), static_cast<qsizetype>(cut)) + QChar(0x2026);
}

}  // namespace

void ResultListModel::clear() {
    beginResetModel();
    std::vector<Block>().swap(m_blocks);
    std::deque<Entry>().swap(m_entries);
    m_rowsShown = 0;
    endResetModel();
}

void ResultListModel::append(std::string_view word) {
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < word.size() ||
        m_blocks.back().used > std::numeric_limits<std::uint32_t>::max()) {
        // A word longer than a block gets a block of its own size.
        const std::size_t capacity = std::max(kBlockSize, word.size());
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(capacity), capacity, 0});
    }
    Block& block = m_blocks.back();
    m_entries.push_back(
        {static_cast<std::uint32_t>(m_blocks.size() - 1), static_cast<std::uint32_t>(block.used)});
    if (!word.empty()) {
        std::memcpy(block.bytes.get() + block.used, word.data(), word.size());
    }
    block.used += word.size();
}

std::string_view ResultListModel::word(std::size_t row) const {
    const Entry& entry = m_entries[row];
    const Block& block = m_blocks[entry.block];
    const bool nextInBlock = row + 1 < m_entries.size() && m_entries[row + 1].block == entry.block;
    const std::size_t end = nextInBlock ? m_entries[row + 1].offset : block.used;
    return {block.bytes.get() + entry.offset, end - entry.offset};
}

void ResultListModel::publish() {
    // A view counts its rows in an int; entries past that are counted but not shown.
    const int rows =
        static_cast<int>(std::min<std::size_t>(m_entries.size(), std::numeric_limits<int>::max()));
    if (rows > m_rowsShown) {
        beginInsertRows({}, m_rowsShown, rows - 1);
        m_rowsShown = rows;
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
