#include "failure_message.h"

#include "pointer_override.h"

#include <QAbstractButton>
#include <QIcon>
#include <QLoggingCategory>
#include <QMessageBox>

namespace {

Q_LOGGING_CATEGORY(solveRunLog, "trelliwick.solve", QtCriticalMsg)

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void showFailureMessage(QWidget* parent, std::string_view title, std::string_view text,
                        std::string_view cause) {
    qCWarning(solveRunLog).noquote() << "the run failed:" << fromUtf8(cause);
    const PointerOverride arrow(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::NoIcon, fromUtf8(title), fromUtf8(text), QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setIcon(QIcon());  // some styles put one on it
    box.exec();
}
