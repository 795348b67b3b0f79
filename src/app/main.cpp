// The desktop application: the main window over the itinerary sheet.
#include "app/MainPrint.h"
#include "app/QtTranslations.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    // The browser engine is not linked: the window loads it once it has been painted.
    QApplication app(argc, argv);
    itinerary::installQtTranslations(app);
    itinerary::MainPrint window(itinerary::Config::fromBuild());
    window.show();
    return app.exec();
}
