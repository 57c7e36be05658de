#include "form1_accessible.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

class Form1Accessible : public QAccessibleWidget {
public:
    explicit Form1Accessible(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

    int childCount() const override { return static_cast<int>(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override { return shownChildren().value(index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return static_cast<int>(shownChildren().indexOf(child));
    }

private:
    // The window's children less those that never show anything.
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
    if (className == QLatin1String("Form1") && object != nullptr && object->isWidgetType()) {
        return new Form1Accessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}
