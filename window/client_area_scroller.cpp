#include "client_area_scroller.h"

#include <QApplication>
#include <QStyle>
#include <QVBoxLayout>

ClientAreaScroller::ClientAreaScroller(QWidget* clientArea, QWidget* window) : QScrollArea(window) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);  // Tab goes from control to control
    setWidgetResizable(true);
    setWidget(clientArea);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(this);
    m_followFocus =
        connect(qApp, &QApplication::focusChanged, this, [this](const QWidget* old, QWidget* now) {
            if (old != nullptr) {
                showInView(now);
            }
        });
}

ClientAreaScroller::~ClientAreaScroller() {
    // The focus leaves the controls as they go, with the scroll area half gone.
    disconnect(m_followFocus);
}

bool ClientAreaScroller::focusNextPrevChild(bool next) {
    // Past QScrollArea's own, which would bring only the text cursor of the control
    // that Tab reaches into view.
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    return QWidget::focusNextPrevChild(next);
}

void ClientAreaScroller::showInView(QWidget* focus) {
    // The design's control that holds the focus: the length box's text is the box's.
    QWidget* control = focus;
    while (control != nullptr && control->parentWidget() != widget()) {
        control = control->parentWidget();
    }
    if (control == nullptr) {
        return;
    }
    // Right to left, the horizontal bar counts from the client area's right edge, and
    // ensureVisible() mirrors the point it is given within the view: so the control's
    // place is given as the bars count it, mirrored the same way first. Its far
    // corner, then its near one, which wins where the control is larger than the view.
    const Qt::LayoutDirection direction = layoutDirection();
    const QRect place = QStyle::visualRect(direction, widget()->rect(), control->geometry());
    for (const QPoint corner :
         {place.topLeft() + QPoint(place.width(), place.height()), place.topLeft()}) {
        const QPoint point = QStyle::visualPos(direction, viewport()->rect(), corner);
        ensureVisible(point.x(), point.y(), 0, 0);
    }
}
