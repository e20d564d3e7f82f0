// The yardstick for the gadget's start-up: the least a Qt widget program does to show a window
// of the gadget's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("QuibraBenchMinimal"));
    window.resize(192, 200);
    window.show();
    return app.exec();
}
