#pragma once

// The Solve button, Command3: "Solve", filled with colour A under any style and in
// any state, and the default button of the window it is built in. An Enter that no
// control takes reaches the window and presses it; text boxes and lists leave Enter
// to the window, and the length box's open drop-down is a window of its own, where
// Enter only picks. Only a plain Enter presses it, the keypad's too: with Ctrl, Shift
// or Alt held, Enter is left alone, though the toolkit presses a button that has the
// focus for any Enter.

#include <QPushButton>

class SolveButton : public QPushButton {
public:
    /// The default button of `parent`'s window, named Command3.
    explicit SolveButton(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
