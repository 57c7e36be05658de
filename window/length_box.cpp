#include "length_box.h"

#include <QAbstractItemView>

void LengthBox::showPopup() {
    QComboBox::showPopup();
    const int typed = findText(currentText());
    view()->setCurrentIndex(typed >= 0 ? model()->index(typed, modelColumn()) : QModelIndex());
}
