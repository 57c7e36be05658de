#pragma once

#include <QAbstractListModel>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

/// The entries of one result list, kept compactly: the words' UTF-8 bytes packed
/// into blocks of a megabyte, and eight bytes more per entry to find it, so that
/// millions of entries cost little more than their letters, and nothing is ever
/// copied to grow. A row becomes a QString only when a view asks for it, and an
/// entry of more than a kilobyte shows as its first kilobyte and an ellipsis.
///
/// Appended entries are counted at once but reach views only at `publish()`, so a
/// run that appends millions of words tells its views once, at its end.
class ResultListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    /// Removes every entry and releases their memory.
    void clear();
    /// Adds `word` (UTF-8) as the last entry.
    void append(std::string_view word);
    /// The number of entries, published or not.
    std::size_t entryCount() const { return m_entries.size(); }
    /// Shows views the entries appended since the last publish.
    void publish();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    // Where an entry starts; it ends where the next entry of its block starts,
    // or where the block's bytes end.
    struct Entry {
        std::uint32_t block;
        std::uint32_t offset;
    };

    std::string_view word(std::size_t row) const;

    std::vector<Block> m_blocks;
    std::deque<Entry> m_entries;
    int m_rowsShown = 0;
};
