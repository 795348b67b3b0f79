// The desktop application: the main window over the itinerary sheet.
#include "app/MainPrint.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    // The browser engine shares the application's OpenGL context; it must be asked for
    // before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    itinerary::MainPrint window(itinerary::Config::fromBuild());
    window.show();
    return app.exec();
}
