#pragma once

#include "result_list_view.h"

#include <cstddef>
#include <memory>
#include <string_view>

class ResultListModel;
struct EntryBatch;

/// One of the window's two result lists as the design draws it: its entries, in the
/// order they are appended, on colour B, one of them selected at a time, none edited.
/// A run clears it back to its top and appends to it unseen; when the run ends, the
/// list shows what was appended, its first entry current but not selected, so that
/// End, Home and the page keys move from there at once.
class ResultListBox : public ResultListView {
public:
    /// An empty list named `name`.
    ResultListBox(const char* name, QWidget* parent);
    ~ResultListBox() override;

    /// Removes every entry and scrolls back to the top left.
    void clear();
    /// Adds the words of `batch` (UTF-8) as the last entries, shown once the run ends.
    void append(const EntryBatch& batch);
    /// The number of entries, shown or not.
    std::size_t entryCount() const;
    /// Shows the entries appended since the last run ended.
    void showEntries();

private:
    // Not a child: it goes before the view does, while the view can still let go of it.
    std::unique_ptr<ResultListModel> m_entries;
};
