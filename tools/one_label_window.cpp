// one-label-window: a Qt window of one label and nothing else, the floor for the
// start-up of any Qt program, which trelliwick-bench times beside trelliwick's.

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("trelliwick"));
    label.show();
    return QApplication::exec();
}
