#pragma once

#include <QCursor>
#include <QGuiApplication>

/// Shows the given pointer over the whole program for as long as it lives.
class PointerOverride {
public:
    explicit PointerOverride(Qt::CursorShape shape) { QGuiApplication::setOverrideCursor(shape); }
    ~PointerOverride() { QGuiApplication::restoreOverrideCursor(); }
    PointerOverride(const PointerOverride&) = delete;
    PointerOverride& operator=(const PointerOverride&) = delete;
};
