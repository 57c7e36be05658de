#pragma once

#include <QComboBox>

/// The minimum-length box: an editable combo box of the items "0" to "5" that takes
/// any typed text, of any length, as its value without adding it to the items, and
/// whose drop-down opens on the item equal to the typed text, or on none when no item
/// is.
class LengthBox : public QComboBox {
    Q_OBJECT

public:
    explicit LengthBox(QWidget* parent = nullptr);

    void showPopup() override;
};
