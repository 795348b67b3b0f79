// itinerary-render: the receipt rendering service as a program of its own, for an agency
// that runs one service for all its counters.
#include "ListenAddress.h"

#include "http/JournalLog.h"
#include "http/StopSignals.h"
#include "render/ReceiptLayout.h"
#include "render/RenderService.h"

#include <QGuiApplication>

#include <cstdio>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char Usage[] =
    "usage: itinerary-render [--listen ADDR:PORT] [--layout FILE] [--help]\n"
    "\n"
    "Serves receipt pictures over HTTP:\n"
    "  GET /Print/print.asp?l=FLAG&p=VALUES&TIME-STAMP   the receipt as a PNG\n"
    "  GET /health                                       \"ok\"\n"
    "Prints its base address (http://ADDR:PORT/) as the first line of standard output.\n"
    "\n"
    "  --listen ADDR:PORT  address to listen on (default 127.0.0.1:0; port 0 picks a free\n"
    "                      port; [::1]:PORT for IPv6; 0.0.0.0:PORT serves the local network)\n"
    "  --layout FILE       receipt layout (JSON) instead of the built-in one\n"
    "  --help              this text\n";

void printError(const QString &text) {
    std::fprintf(stderr, "itinerary-render: %s\n", text.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char *argv[]) {
    prefixLogPrioritiesForTheJournal();
    // Text is drawn with the fonts of a GUI application; without a display use offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QString listenText = u"127.0.0.1:0"_s;
    QString layoutPath;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (argument == u"--help" || argument == u"-h") {
            std::fputs(Usage, stdout);
            return ExitOk;
        } else if ((argument == u"--listen" || argument == u"--layout") && !hasValue) {
            printError(u"%1 needs a value"_s.arg(argument));
            return ExitUsage;
        } else if (argument == u"--listen") {
            listenText = QString::fromLocal8Bit(argv[++i]);
        } else if (argument == u"--layout") {
            layoutPath = QString::fromLocal8Bit(argv[++i]);
        } else {
            printError(u"unexpected argument: %1"_s.arg(argument));
            std::fputs(Usage, stderr);
            return ExitUsage;
        }
    }
    const std::optional<ListenAddress> listen = parseListenAddress(listenText);
    if (!listen) {
        printError(u"--listen wants ADDR:PORT, not %1"_s.arg(listenText));
        return ExitUsage;
    }

    QGuiApplication app(argc, argv);
    ReceiptLayout layout = ReceiptLayout::defaultLayout();
    if (!layoutPath.isEmpty()) {
        QString error;
        std::optional<ReceiptLayout> loaded = ReceiptLayout::fromFile(layoutPath, &error);
        if (!loaded) {
            printError(error);
            return ExitFailed;
        }
        layout = std::move(*loaded);
    }

    RenderService service(layout);
    if (!service.listen(listen->address, listen->port)) {
        printError(service.errorString());
        return ExitFailed;
    }
    const QByteArray firstLine = service.baseUrl().toEncoded() + '\n';
    std::fwrite(firstLine.constData(), 1, size_t(firstLine.size()), stdout);
    std::fflush(stdout);

    quitOnStopSignals(app);
    return app.exec();
}
