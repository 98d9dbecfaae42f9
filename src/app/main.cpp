#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("そろべえ"));
    window.resize(622, 447);
    window.show();
    return app.exec();
}
