#pragma once

#include "window_side.h"

#include <QAbstractListModel>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

/// The entries of one result list, kept compactly in blocks of a megabyte: the
/// words' UTF-8 bytes back to back from a block's start, so that a batch of words
/// is copied in at once, and their lengths a byte each from the block's end (a
/// longer one kept aside), with where every 64th entry of a block starts. Nothing
/// is ever copied to grow, and an entry costs under two bytes beyond its letters,
/// where an eight-byte place for each entry, and another for each row of the view,
/// would cost many times that (./bench.sh measures what an entry takes). A row
/// becomes a QString only when a view asks for it, and an entry of more than a
/// kilobyte shows as its first kilobyte and an ellipsis.
///
/// Appended entries are counted at once but reach views only at `publish()`, so a
/// run that appends millions of words tells its views once, at its end.
class ResultListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    /// Removes every entry. Their memory is kept for the entries appended next, up
    /// to the next `publish()`, which releases what they have not taken up: a page
    /// that is new to the process costs a fault, and a run of millions of entries
    /// that took fresh pages would spend much of its time on faults.
    void clear();
    /// Adds the words of `batch` (UTF-8) as the last entries.
    void append(const EntryBatch& batch);
    /// The number of entries, published or not.
    std::size_t entryCount() const { return m_entryCount; }
    /// The row of the longest entry shown, in bytes (the first of those as long), or
    /// -1 when none is shown: what a view measures to have the longest within reach
    /// of its scroll bar without measuring every entry.
    int longestRow() const { return m_longestRowShown; }
    /// Shows views the entries appended since the last publish, and releases the
    /// memory that the entries cleared before them held and they did not take up.
    void publish();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // Where an entry of a block starts: its first byte, and how many of the lengths
    // kept aside belong to the entries before it.
    struct Mark {
        std::uint32_t at;
        std::uint32_t longBefore;
    };
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;        // by the words; their lengths take `entries` more bytes
        std::size_t firstEntry = 0;  // the list's index of the block's first entry
        std::size_t entries = 0;
        std::vector<Mark> marks;               // of entries 0, 64, 128… of the block
        std::vector<std::size_t> longLengths;  // of the entries whose length byte is full

        // The length byte of the block's entry `entry`.
        std::uint8_t lengthByte(std::size_t entry) const {
            return static_cast<std::uint8_t>(bytes[capacity - 1 - entry]);
        }
    };

    // Adds the words of `batch` from `first` on to the last block, as many as it has
    // room for, and returns where the words it has no room for begin.
    std::size_t appendToBlock(const EntryBatch& batch, std::size_t first);
    // A block with room for at least `bytes` bytes, at the end of the blocks.
    void startBlock(std::size_t bytes);
    std::string_view word(std::size_t row) const;

    std::vector<Block> m_blocks;
    std::vector<Block> m_spare;  // cleared, empty, until the next publish()
    std::size_t m_entryCount = 0;
    std::size_t m_longestEntry = 0;  // the longest that a view can show, and its length
    std::size_t m_longestBytes = 0;
    int m_rowsShown = 0;
    int m_longestRowShown = -1;
};
