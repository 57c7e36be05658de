#include "length_box.h"

#include <QAbstractItemView>
#include <QLineEdit>

#include <limits>

LengthBox::LengthBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // No inline completion: with the text selected, as Tab leaves it, the completion
    // would take Enter for itself, and Enter there must press Solve. The items are
    // one digit each, so there is nothing to complete.
    setCompleter(nullptr);
    lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
              QStringLiteral("4"), QStringLiteral("5")});
}

void LengthBox::showPopup() {
    QComboBox::showPopup();
    const int typed = findText(currentText());
    view()->setCurrentIndex(typed >= 0 ? model()->index(typed, modelColumn()) : QModelIndex());
}
