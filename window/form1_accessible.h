#pragma once

class QAccessibleInterface;
class QObject;
class QString;

/// What a screen reader meets for the main window: a window named by its caption;
/// its client area's controls less the outline and the label that never shows
/// anything; every input named by the caption beside it, the length box too, whose
/// value is its text. Installed as a factory of accessible interfaces:
/// `QAccessible::installFactory`.
QAccessibleInterface* accessibleForm1(const QString& className, QObject* object);
