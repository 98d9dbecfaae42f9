#include "StartUp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    sorobe::configureApplication();
    sorobe::SharedState state;
    const auto window = sorobe::startUp(state);
    return app.exec();
}
