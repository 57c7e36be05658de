#pragma once

#include <QListView>
#include <QPersistentModelIndex>

class QStyleOptionViewItem;

/// A list of entries one line high each, placed by arithmetic rather than entry by
/// entry, so that a list of millions of entries takes no memory and no time to lay
/// out beyond the rows it shows. None of the toolkit's list layout is used, yet it
/// stays a QListView: the toolkit builds the table that a screen reader reads only
/// for the item views it knows by class.
///
/// Otherwise a list view as the toolkit's: one entry current and one selected, the
/// arrow, page, Home and End keys, the pointer, right to left mirrored, the entry
/// under the pointer and alternating row colours as the style draws them, and what
/// a screen reader is told, a row at a time. Rows are as high as the first entry,
/// and as wide as the widest of the longest entry (a ResultListModel's, in bytes)
/// and the entries shown so far, each asked of the delegate once, and again after a
/// layout (a new font, style, delegate or model, entries published).
///
/// Rows lie one under another, a whole entry to a scroll step, none hidden: the
/// setters that would place them otherwise are deleted here, and what they set
/// through the base class is set back at the next layout, with a warning. A row
/// hidden through the base class is shown all the same.
class ResultListView : public QListView {
    Q_OBJECT

public:
    explicit ResultListView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;

    // Refused, as above.
    void setVerticalScrollMode(ScrollMode mode) = delete;
    void setSpacing(int space) = delete;
    void setFlow(Flow flow) = delete;
    void setWrapping(bool enable) = delete;
    void setViewMode(ViewMode mode) = delete;
    void setGridSize(const QSize& size) = delete;
    void setUniformItemSizes(bool enable) = delete;
    void setRowHidden(int row, bool hide) = delete;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void scrollContentsBy(int dx, int dy) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    int rows() const;
    QSize rowSize() const;
    int rowWidth(const QStyleOptionViewItem& option, int row) const;
    int rowsShown(int rowHeight) const;
    int topRow() const;
    int rowAt(int y, int rowHeight) const;
    QRect rowRect(int row, QSize size) const;
    QModelIndex indexOfRow(int row) const;
    bool measureShownRows();
    void updateHorizontalRange();
    void refuseOtherLayouts();

    mutable QSize m_rowSize;  // the first entry's, measured when first needed after a layout
    int m_widest = 0;         // the widest entry measured since the last layout
    int m_measuredFirst = 0;  // the rows shown when they were last measured
    int m_measuredLast = -1;
    QPersistentModelIndex m_hover;  // the entry under the pointer
};
