#pragma once

#include <QAbstractListModel>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// The entries of one result list, kept compactly: all words in one UTF-8 buffer
/// and the end of each in a table, so millions of entries cost little more than
/// their letters. A row becomes a QString only when a view asks for it.
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
    std::size_t entryCount() const { return m_ends.size(); }
    /// Shows views the entries appended since the last publish.
    void publish();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::string m_text;
    std::vector<std::size_t> m_ends;
    int m_rowsShown = 0;
};
