#include "solve_button.h"

#include "design.h"

#include <QKeyEvent>

namespace {

bool isEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// No modifier held, the keypad's own aside.
bool isPlain(const QKeyEvent& key) {
    return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

SolveButton::SolveButton(QWidget* parent) : QPushButton(QStringLiteral("Solve"), parent) {
    setObjectName(QStringLiteral("Command3"));
    setDefault(true);
    parent->window()->installEventFilter(this);
    // Styles shade or ignore a palette's button colour, so the fill is set by a style
    // sheet of the button's own. The focus shows as its border, not as the style's
    // tinted focus frame.
    setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: %4; border: 1px solid %2;"
                       " border-radius: 3px; outline: none; }"
                       "QPushButton:focus { border: 2px solid palette(highlight); }"
                       "QPushButton:pressed { background-color: %3; }")
            .arg(kColourA.name(), kColourA.darker(200).name(), kColourA.darker(115).name(),
                 kTextOnColours.name()));
}

void SolveButton::keyPressEvent(QKeyEvent* event) {
    if (isEnter(*event) && !isPlain(*event)) {
        event->accept();  // and nothing more
        return;
    }
    QPushButton::keyPressEvent(event);
}

bool SolveButton::eventFilter(QObject* watched, QEvent* event) {
    // What reaches the window is what no control took.
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (isEnter(key) && isPlain(key)) {
            click();
            return true;
        }
    }
    return QPushButton::eventFilter(watched, event);
}
