#include "result_list_box.h"

#include "design.h"
#include "result_list_model.h"

#include <QItemSelectionModel>
#include <QScrollBar>

ResultListBox::ResultListBox(const char* name, QWidget* parent)
    : ResultListView(parent), m_entries(std::make_unique<ResultListModel>()) {
    setObjectName(QLatin1String(name));
    setModel(m_entries.get());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kColourB);
    colours.setColor(QPalette::Text, kTextOnColours);
    setPalette(colours);
}

ResultListBox::~ResultListBox() = default;

void ResultListBox::clear() {
    m_entries->clear();  // which leaves nothing current or selected
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

void ResultListBox::append(const EntryBatch& batch) {
    m_entries->append(batch);
}

std::size_t ResultListBox::entryCount() const {
    return m_entries->entryCount();
}

void ResultListBox::showEntries() {
    m_entries->publish();
    if (!selectionModel()->currentIndex().isValid() && m_entries->rowCount() > 0) {
        selectionModel()->setCurrentIndex(m_entries->index(0), QItemSelectionModel::NoUpdate);
    }
}
