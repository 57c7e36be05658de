#include "result_list_view.h"

#include "result_list_model.h"

#include <QAccessible>
#include <QHoverEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cstdint>

namespace {

// The list view's own versions of what is overridden here lay out, or look up,
// every row; they are passed over for those of the item view under it, which
// know nothing of rows (hence the calls that skip a generation).

// Far rows are placed this far off the viewport at most, where no pixel of theirs
// shows, so that their places fit an int whatever the list's length.
constexpr std::int64_t kFarOff = std::int64_t{1} << 28;

}  // namespace

ResultListView::ResultListView(QWidget* parent) : QListView(parent) {
    QListView::setVerticalScrollMode(ScrollPerItem);
    QListView::setUniformItemSizes(true);
}

int ResultListView::rows() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

QSize ResultListView::rowSize() const {
    if (!m_rowSize.isValid()) {
        if (rows() <= 0) {
            return {};
        }
        const QModelIndex first = indexOfRow(0);
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QSize size = itemDelegateForIndex(first)->sizeHint(option, first);
        m_rowSize = {size.width(), std::max(1, size.height())};
    }
    return m_rowSize;
}

int ResultListView::rowWidth(const QStyleOptionViewItem& option, int row) const {
    const QModelIndex index = indexOfRow(row);
    return itemDelegateForIndex(index)->sizeHint(option, index).width();
}

int ResultListView::rowsShown(int rowHeight) const {
    return std::max(1, viewport()->height() / std::max(1, rowHeight));
}

int ResultListView::topRow() const {
    return verticalScrollBar()->value();
}

int ResultListView::rowAt(int y, int rowHeight) const {
    const std::int64_t row = topRow() + std::int64_t{y} / std::max(1, rowHeight);
    return y < 0 || row >= rows() ? -1 : static_cast<int>(row);
}

QRect ResultListView::rowRect(int row, QSize size) const {
    const std::int64_t top =
        std::clamp((std::int64_t{row} - topRow()) * size.height(), -kFarOff, kFarOff);
    return {-horizontalOffset(), static_cast<int>(top), std::max(m_widest, viewport()->width()),
            size.height()};
}

QModelIndex ResultListView::indexOfRow(int row) const {
    return model()->index(row, modelColumn(), rootIndex());
}

QRect ResultListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex() ||
        index.column() != modelColumn()) {
        return {};
    }
    return rowRect(index.row(), rowSize());
}

void ResultListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex()) {
        return;
    }
    const int shown = rowsShown(rowSize().height());
    const int row = index.row();
    const int top = topRow();
    switch (hint) {
        case PositionAtTop:
            verticalScrollBar()->setValue(row);
            break;
        case PositionAtBottom:
            verticalScrollBar()->setValue(row - shown + 1);
            break;
        case PositionAtCenter:
            verticalScrollBar()->setValue(row - shown / 2);
            break;
        case EnsureVisible:
            if (row < top) {
                verticalScrollBar()->setValue(row);
            } else if (row - top >= shown) {
                verticalScrollBar()->setValue(row - shown + 1);
            }
            break;
    }
}

QModelIndex ResultListView::indexAt(const QPoint& point) const {
    const int row = rowAt(point.y(), rowSize().height());
    return row < 0 ? QModelIndex() : indexOfRow(row);
}

void ResultListView::doItemsLayout() {
    // Nothing to lay out row by row: the rows measured afresh, the scroll bars and
    // the viewport.
    m_rowSize = {};
    m_widest = 0;
    m_measuredFirst = 0;
    m_measuredLast = -1;
    const auto* entries = qobject_cast<const ResultListModel*>(model());
    const int longest = entries != nullptr ? entries->longestRow() : -1;
    if (longest >= 0 && longest < rows() && !rootIndex().isValid()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        m_widest = rowWidth(option, longest);
    }
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::doItemsLayout();
}

QModelIndex ResultListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
    const int count = rows();
    if (count <= 0) {
        return {};
    }
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        return indexOfRow(0);
    }
    const int shown = rowsShown(rowSize().height());
    const int row = current.row();
    int to = row;
    switch (cursorAction) {
        case MoveUp:
        case MovePrevious:
            to = row - 1;
            break;
        case MoveDown:
        case MoveNext:
            to = row + 1;
            break;
        case MovePageUp:
            to = row - shown;
            break;
        case MovePageDown:
            to = static_cast<int>(std::min<std::int64_t>(std::int64_t{row} + shown, count - 1));
            break;
        case MoveHome:
            to = 0;
            break;
        case MoveEnd:
            to = count - 1;
            break;
        case MoveLeft:
        case MoveRight:
            break;
    }
    return indexOfRow(std::clamp(to, 0, count - 1));
}

int ResultListView::horizontalOffset() const {
    // Right to left, the bar's start is at its right, where the rows' ends are.
    const QScrollBar* bar = horizontalScrollBar();
    return isRightToLeft() ? bar->maximum() - bar->value() : bar->value();
}

int ResultListView::verticalOffset() const {
    return static_cast<int>(
        std::min<std::int64_t>(std::int64_t{topRow()} * rowSize().height(), kFarOff));
}

bool ResultListView::isIndexHidden(const QModelIndex&) const {
    return false;
}

void ResultListView::scrollContentsBy(int dx, int dy) {
    // The viewport's pixels move with the rows, and only what they uncover is drawn.
    // dy counts rows; a move of more than the viewport redraws it all anyway. Right
    // to left, the rows move the other way as the bar's value grows.
    const std::int64_t limit = viewport()->height() + std::int64_t{rowSize().height()};
    viewport()->scroll(
        isRightToLeft() ? -dx : dx,
        static_cast<int>(std::clamp(std::int64_t{dy} * rowSize().height(), -limit, limit)));
    if (dy != 0 && measureShownRows()) {
        updateHorizontalRange();
    }
}

void ResultListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const QRect area = rect.normalized();
    const int rowHeight = rowSize().height();
    const int first = rowAt(std::max(area.top(), 0), rowHeight);
    QItemSelection selection;
    if (area.bottom() >= 0 && first >= 0) {
        const int below = rowAt(area.bottom(), rowHeight);
        const int last = below < 0 ? rows() - 1 : below;
        selection.select(indexOfRow(first), indexOfRow(last));
    }
    selectionModel()->select(selection, command);
}

QRegion ResultListView::visualRegionForSelection(const QItemSelection& selection) const {
    const QSize size = rowSize();
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (range.isValid() && range.parent() == rootIndex() && range.left() <= modelColumn() &&
            range.right() >= modelColumn()) {
            region += rowRect(range.top(), size).united(rowRect(range.bottom(), size));
        }
    }
    return region.intersected(viewport()->rect());
}

bool ResultListView::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::HoverEnter:
        case QEvent::HoverMove:
            m_hover = indexAt(static_cast<QHoverEvent*>(event)->position().toPoint());
            break;
        case QEvent::HoverLeave:
            m_hover = QPersistentModelIndex();
            break;
        default:
            break;
    }
    return QListView::viewportEvent(event);
}

void ResultListView::paintEvent(QPaintEvent* event) {
    const int count = rows();
    if (count <= 0) {
        return;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State state = option.state;
    const bool enabled = (state & QStyle::State_Enabled) != 0;
    const bool alternate = alternatingRowColors();
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const QSize size = rowSize();
    const int first = rowAt(std::max(event->rect().top(), 0), size.height());
    const int last = rowAt(event->rect().bottom(), size.height());
    QPainter painter(viewport());
    for (int row = first; row >= 0 && row <= (last < 0 ? count - 1 : last); ++row) {
        const QModelIndex index = indexOfRow(row);
        option.rect = rowRect(row, size);
        option.state = state;
        if (selectionModel()->isSelected(index)) {
            option.state |= QStyle::State_Selected;
        }
        if (enabled) {
            const bool itemEnabled = (model()->flags(index) & Qt::ItemIsEnabled) != 0;
            option.state.setFlag(QStyle::State_Enabled, itemEnabled);
            option.palette.setCurrentColorGroup(itemEnabled ? QPalette::Normal
                                                            : QPalette::Disabled);
        }
        if (focus && index == current) {
            option.state |= QStyle::State_HasFocus;
        }
        option.state.setFlag(QStyle::State_MouseOver, m_hover == index);
        if (alternate) {
            // The row's background without the selection's, which the delegate draws.
            option.features.setFlag(QStyleOptionViewItem::Alternate, (row & 1) != 0);
            QStyleOptionViewItem background = option;
            background.state &= ~QStyle::State_Selected;
            style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &background, &painter, this);
        }
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

bool ResultListView::measureShownRows() {
    const int count = rows();
    const int first = topRow();
    const int last = static_cast<int>(
        std::min<std::int64_t>(std::int64_t{first} + rowsShown(rowSize().height()), count - 1));
    const int widest = m_widest;
    if (first <= last) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        for (int row = first; row <= last; ++row) {
            if (row < m_measuredFirst || row > m_measuredLast) {
                m_widest = std::max(m_widest, rowWidth(option, row));
            }
        }
    }
    m_measuredFirst = first;
    m_measuredLast = last;
    return m_widest > widest;
}

void ResultListView::updateHorizontalRange() {
    // Right to left too, a wider range moves no row's end: the rows grow leftwards.
    horizontalScrollBar()->setRange(0, std::max(0, m_widest - viewport()->width()));
}

void ResultListView::refuseOtherLayouts() {
    const auto refused = [](const char* what) {
        qWarning(
            "ResultListView: %s refused; its rows lie one under another, each a scroll "
            "step, none hidden",
            what);
    };
    if (viewMode() != ListMode) {
        refused("a view mode of icons");
        QListView::setViewMode(ListMode);
    }
    if (flow() != TopToBottom) {
        refused("a flow from left to right");
        QListView::setFlow(TopToBottom);
    }
    if (isWrapping()) {
        refused("wrapping");
        QListView::setWrapping(false);
    }
    if (spacing() != 0) {
        refused("spacing");
        QListView::setSpacing(0);
    }
    if (gridSize().isValid()) {
        refused("a grid");
        QListView::setGridSize({});
    }
    if (!uniformItemSizes()) {
        refused("rows of different sizes");
        QListView::setUniformItemSizes(true);
    }
    if (verticalScrollMode() != ScrollPerItem) {
        refused("scrolling by pixels");
        QListView::setVerticalScrollMode(ScrollPerItem);
    }
}

void ResultListView::updateGeometries() {
    refuseOtherLayouts();
    const int count = rows();
    if (count <= 0 || geometry().isEmpty()) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
    } else {
        const QSize size = rowSize();
        const int shown = rowsShown(size.height());
        verticalScrollBar()->setSingleStep(1);
        verticalScrollBar()->setPageStep(shown);
        verticalScrollBar()->setRange(0, std::max(0, count - shown));
        measureShownRows();
        horizontalScrollBar()->setSingleStep(std::max(1, size.width()));
        horizontalScrollBar()->setPageStep(viewport()->width());
        updateHorizontalRange();
    }
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::updateGeometries();
}

void ResultListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::currentChanged(current, previous);
}

void ResultListView::selectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
    if (QAccessible::isActive()) {
        const QModelIndex added = selected.indexes().value(0);
        if (added.isValid()) {
            QAccessibleEvent event(this, QAccessible::SelectionAdd);
            event.setChild(added.row());
            QAccessible::updateAccessibility(&event);
        }
        const QModelIndex removed = deselected.indexes().value(0);
        if (removed.isValid()) {
            QAccessibleEvent event(this, QAccessible::SelectionRemove);
            event.setChild(removed.row());
            QAccessible::updateAccessibility(&event);
        }
    }
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::selectionChanged(selected, deselected);
}
