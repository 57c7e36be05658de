#pragma once

// The window's scroll area, which follows the focus. It fills the window and shows
// the client area, whole where the window is large enough for it and scrolled where
// it is not; a larger window stretches the client area, never the controls on it.
// However the focus moves to a control (Tab, a click, a screen reader), it scrolls the
// least that brings the whole control into view, or the control's start where the
// control is larger than the view, left to right or right to left. The focus that
// comes back with the window, as it opens or is switched to, leaves the view as it
// was: at first, at its start.

#include <QMetaObject>
#include <QScrollArea>

class ClientAreaScroller : public QScrollArea {
public:
    /// Takes `clientArea`, and fills `window` in a layout of the window's own.
    ClientAreaScroller(QWidget* clientArea, QWidget* window);
    ~ClientAreaScroller() override;

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void showInView(QWidget* focus);

    QMetaObject::Connection m_followFocus;
};
