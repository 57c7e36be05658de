#include "caption_label.h"

#include "design.h"

CaptionLabel::CaptionLabel(const char* name, const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {
    setObjectName(QLatin1String(name));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kColourA);
    colours.setColor(QPalette::WindowText, kTextOnColours);
    setPalette(colours);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
}
