// The desktop application: the main window over the itinerary sheet.
#include "app/MainPrint.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    itinerary::MainPrint window(itinerary::Config::fromBuild());
    window.show();
    return app.exec();
}
