#pragma once

#include <QComboBox>

/// The minimum-length box: an editable combo box whose drop-down opens on the item
/// equal to the typed text, or on none when no item is.
class LengthBox : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void showPopup() override;
};
