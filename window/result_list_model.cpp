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
constexpr std::size_t kEntriesPerMark = 64;

// A length of this or more is kept aside, with this in its byte.
constexpr std::size_t kLongLength = 0xFF;

// Gives `items` room for `size` items, growing by half at least, so that growing a
// little at a time copies little.
template <typename Item>
void makeRoom(std::vector<Item>& items, std::size_t size) {
    if (size > items.capacity()) {
        items.reserve(std::max(size, items.capacity() + items.capacity() / 2));
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
        block.longLengths.clear();
    }
    if (m_spare.empty()) {
        m_spare = std::move(blocks);
    }
    m_entryCount = 0;
    m_rowsShown = 0;
    m_longestRowShown = -1;
    endResetModel();
}

void ResultListModel::append(const EntryBatch& batch) {
    for (std::size_t next = 0; next < batch.size();) {
        const std::size_t after = m_blocks.empty() ? next : appendToBlock(batch, next);
        if (after == next) {
            // A word longer than a block gets a block of its own size.
            startBlock(batch[next].size() + 1);
            next = appendToBlock(batch, next);
        } else {
            next = after;
        }
    }
}

void ResultListModel::startBlock(std::size_t bytes) {
    if (bytes <= kBlockSize && !m_spare.empty()) {
        m_blocks.push_back(std::move(m_spare.back()));
        m_spare.pop_back();
    } else {
        const std::size_t capacity = std::max(kBlockSize, bytes);
        m_blocks.push_back(
            {std::make_unique_for_overwrite<char[]>(capacity), capacity, 0, 0, 0, {}, {}});
    }
    m_blocks.back().firstEntry = m_entryCount;
}

std::size_t ResultListModel::appendToBlock(const EntryBatch& batch, std::size_t first) {
    Block& block = m_blocks.back();
    const std::size_t start = first == 0 ? 0 : batch.ends[first - 1];
    // The words that fit, each with its length byte, and what they need kept aside;
    // room for that is made before anything changes, so that memory running out
    // leaves the list as it was.
    const std::size_t room = block.capacity - block.used - block.entries;
    std::size_t last = first;
    std::size_t longOnes = 0;
    for (std::size_t before = start;
         last < batch.size() && batch.ends[last] - start + (last - first + 1) <= room; ++last) {
        longOnes += batch.ends[last] - before >= kLongLength ? 1U : 0U;
        before = batch.ends[last];
    }
    if (last == first) {
        return first;
    }
    const std::size_t entries = block.entries + (last - first);
    makeRoom(block.marks, (entries + kEntriesPerMark - 1) / kEntriesPerMark);
    makeRoom(block.longLengths, block.longLengths.size() + longOnes);

    const std::size_t wordBytes = batch.ends[last - 1] - start;
    if (wordBytes > 0) {
        std::memcpy(block.bytes.get() + block.used, batch.bytes.data() + start, wordBytes);
    }
    std::size_t at = block.used;
    for (std::size_t i = first, entry = block.entries; i < last; ++i, ++entry) {
        const std::size_t length = batch.ends[i] - (i == 0 ? 0 : batch.ends[i - 1]);
        if (entry % kEntriesPerMark == 0) {
            // Below 4 GiB: only an entry that starts a block starts past a megabyte.
            block.marks.push_back({static_cast<std::uint32_t>(at),
                                   static_cast<std::uint32_t>(block.longLengths.size())});
        }
        if (length >= kLongLength) {
            block.longLengths.push_back(length);
        }
        block.bytes[block.capacity - 1 - entry] =
            static_cast<char>(static_cast<std::uint8_t>(std::min(length, kLongLength)));
        if (m_entryCount < kMostRows && (m_entryCount == 0 || length > m_longestBytes)) {
            m_longestEntry = m_entryCount;
            m_longestBytes = length;
        }
        ++m_entryCount;
        at += length;
    }
    block.used = at;
    block.entries = entries;
    return last;
}

std::string_view ResultListModel::word(std::size_t row) const {
    // The last block that starts at or before the row; a block left empty by an
    // append that failed starts where the next one does, and is passed over.
    const auto after = std::upper_bound(
        m_blocks.begin(), m_blocks.end(), row,
        [](std::size_t wanted, const Block& block) { return wanted < block.firstEntry; });
    const Block& block = *(after - 1);
    const std::size_t entry = row - block.firstEntry;
    const Mark& mark = block.marks[entry / kEntriesPerMark];
    std::size_t at = mark.at;
    std::size_t longOnes = mark.longBefore;
    const auto lengthOf = [&](std::size_t of) {
        const std::size_t length = block.lengthByte(of);
        return length == kLongLength ? block.longLengths[longOnes++] : length;
    };
    for (std::size_t before = entry / kEntriesPerMark * kEntriesPerMark; before < entry; ++before) {
        at += lengthOf(before);
    }
    return {block.bytes.get() + at, lengthOf(entry)};
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
