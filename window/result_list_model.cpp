#include "result_list_model.h"

#include <algorithm>
#include <limits>

void ResultListModel::clear() {
    beginResetModel();
    std::string().swap(m_text);
    std::vector<std::size_t>().swap(m_ends);
    m_rowsShown = 0;
    endResetModel();
}

void ResultListModel::append(std::string_view word) {
    m_text.append(word);
    m_ends.push_back(m_text.size());
}

void ResultListModel::publish() {
    // A view counts its rows in an int; entries past that are counted but not shown.
    const int rows = static_cast<int>(
        std::min<std::size_t>(m_ends.size(), std::numeric_limits<int>::max()));
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
    const auto row = static_cast<std::size_t>(index.row());
    const std::size_t begin = row == 0 ? 0 : m_ends[row - 1];
    return QString::fromUtf8(m_text.data() + begin, static_cast<qsizetype>(m_ends[row] - begin));
}
