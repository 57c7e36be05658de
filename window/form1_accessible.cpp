#include "form1_accessible.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

// The client area, where the controls lie: its children less those that never
// show anything.
class ClientAreaAccessible : public QAccessibleWidget {
public:
    explicit ClientAreaAccessible(QWidget* area) : QAccessibleWidget(area, QAccessible::Client) {}

    int childCount() const override { return static_cast<int>(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override { return shownChildren().value(index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return static_cast<int>(shownChildren().indexOf(child));
    }

private:
    QList<QAccessibleInterface*> shownChildren() const {
        QList<QAccessibleInterface*> children;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* child = QAccessibleWidget::child(i);
            const QObject* object = child != nullptr ? child->object() : nullptr;
            if (object != nullptr && object->objectName() != QLatin1String("Shape1") &&
                object->objectName() != QLatin1String("Label1")) {
                children.append(child);
            }
        }
        return children;
    }
};

}  // namespace

QAccessibleInterface* accessibleForm1(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("Form1")) {
        return new QAccessibleWidget(widget, QAccessible::Window);  // named by its caption
    }
    if (className == QLatin1String("QWidget") &&
        object->objectName() == QLatin1String("ClientArea")) {
        return new ClientAreaAccessible(widget);
    }
    return nullptr;
}
