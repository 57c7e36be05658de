#pragma once

#include <string_view>

class QWidget;

/// Shows the message of a failed run, modal over `parent`: `text` under the title
/// `title`, one OK button and no icon, the arrow pointer over the busy one; returns
/// once it is closed. The message is the same whatever the cause, and nothing is
/// logged unless asked for: QT_LOGGING_RULES="trelliwick.solve=true" writes `cause`
/// on standard error, which desktops keep in their journal.
void showFailureMessage(QWidget* parent, std::string_view title, std::string_view text,
                        std::string_view cause);
