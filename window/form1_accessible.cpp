#include "form1_accessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
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

// The length box, named by its caption as the other inputs are (its label is its
// buddy), its value the text in it. Like any combo box it holds its drop-down and
// its text box, and opens and closes the drop-down on request.
class LengthBoxAccessible : public QAccessibleWidget {
public:
    explicit LengthBoxAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? box()->currentText() : QAccessibleWidget::text(kind);
    }

    int childCount() const override { return box()->lineEdit() != nullptr ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        QWidget* widget = nullptr;
        if (index == 0) {
            widget = box()->view();
        } else if (index == 1) {
            widget = box()->lineEdit();
        }
        return widget != nullptr ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) {
            return -1;
        }
        if (child->object() == box()->view()) {
            return 0;
        }
        return child->object() != nullptr && child->object() == box()->lineEdit() ? 1 : -1;
    }
    // The focus lies in the text box, of which the box is the focus proxy.
    QAccessibleInterface* focusChild() const override { return child(1); }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (box()->view()->isVisible()) {
            box()->hidePopup();
        } else {
            box()->showPopup();
        }
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
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
    if (className == QLatin1String("LengthBox")) {
        return new LengthBoxAccessible(static_cast<QComboBox*>(widget));
    }
    if (className == QLatin1String("QWidget") &&
        object->objectName() == QLatin1String("ClientArea")) {
        return new ClientAreaAccessible(widget);
    }
    return nullptr;
}
