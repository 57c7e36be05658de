#pragma once

#include <QLabel>

/// A label as the design draws it: its caption from its top left, wrapping at word
/// boundaries within its width, in the design's text colour on an opaque background
/// of colour A, whatever the desktop's palette.
class CaptionLabel : public QLabel {
public:
    /// A label named `name` that shows `caption`.
    CaptionLabel(const char* name, const QString& caption, QWidget* parent);
};
