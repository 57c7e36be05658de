#pragma once

class QAccessibleInterface;
class QObject;
class QString;

/// What a screen reader meets for the main window: a window named by its caption,
/// and its client area's controls less the outline and the label that never shows
/// anything. Installed as a factory of accessible interfaces:
/// `QAccessible::installFactory`.
QAccessibleInterface* accessibleForm1(const QString& className, QObject* object);
