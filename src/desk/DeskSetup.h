#pragma once

#include "journal/PrintJournal.h"
#include "textimport/AgencyCodes.h"
#include "textimport/CodeTables.h"

#include <QString>

#include <chrono>

namespace itinerary {

class FileSystem;

// The airport and airline names a counter's imports use: the built-in tables with the
// agency's codes.txt laid over them, and what was read from that file.
struct CounterCodes {
    CodeTables tables;
    AgencyCodes agency;
};

// Where a counter's files are and which rendering service it prints with: what a PrintDesk
// is built from. Every program takes it from fromBuild(); a test writes its own.
struct DeskSetup {
    // The rendering service's base address, ending in "/"; empty starts the embedded one.
    QString serviceBaseUrl;
    // False for a program that draws its receipts itself with the desk's layout (the web
    // counter): no embedded service is started then, and the desk's own pictures get none.
    bool startsEmbeddedService = true;
    // The folder of the counter's files: the settings (info.ini), the agency's codes
    // (codes.txt) and receipt layout (layout.json), the print journal's settings
    // (journal.ini).
    QString settingsDirectory;
    // Picture loads give up after this long.
    std::chrono::milliseconds loadTimeout{10000};
    // When the journal opens its database and sends what an earlier run kept back: at
    // once, or when the program calls PrintJournal::sendWaiting (the window, once painted).
    PrintJournal::WaitingRows journalWaiting = PrintJournal::WaitingRows::SendNow;

    QString settingsFile() const;
    QString agencyCodesFile() const;
    QString layoutFile() const;

    // The counter's code tables (codes.txt in the settings folder over the built-in ones).
    CounterCodes readCodes(const FileSystem &files) const;

    // The build's service address and the settings folder the window uses: the program's
    // own folder when it holds info.ini (a portable installation), otherwise the user's
    // configuration folder. The programs are installed side by side, so every one of them
    // finds the window's folder. Needs the application object.
    static DeskSetup fromBuild();
    // A module the programs load at run time (the browser engine, the printer): beside the
    // program in the build tree, else in the installed library folder. Needs the
    // application object.
    static QString moduleFile(const QString &fileName);
};

} // namespace itinerary
