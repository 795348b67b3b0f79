#pragma once

#include <QObject>
#include <QString>

namespace itinerary {

class Itinerary;

// How a run over a booking's receipts ended.
struct StepsOutcome {
    int done = 0;  // entries whose work succeeded
    int count = 0; // entries the run was to go through
    bool cancelled = false;
    bool failed = false;
    // The entry that failed: its number (from 1), its name as the sheet showed it, and the
    // message its work ended with.
    int failedNumber = 0;
    QString failedName;
    QString message;
};

// The entry that failed, for a message: "张三（第2位）", or "第2位旅客" without a name.
QString failedEntryText(const StepsOutcome &outcome);

// Goes through a booking's receipts one at a time: every entry of the passenger list, from
// the first to the last, brought onto the sheet with the sheet's own navigation ("上一位"
// back to the first entry, then "下一位" for each next one), so that everything navigation
// writes comes with it. A sheet whose list cannot be reached (none, a single entry, or a
// list left behind by a verification import, with both buttons disabled) is one receipt as
// it stands.
//
// Event driven: the work for an entry may end later (a print waits for its timer). The
// owner does the work when entryReady() arrives and reports its end with entryDone(); the
// next entry is brought up from the event loop, so the window keeps painting in between.
class PassengerSteps final : public QObject {
    Q_OBJECT

public:
    explicit PassengerSteps(Itinerary &sheet, QObject *parent = nullptr);

    // How many receipts a run over the sheet as it stands goes through.
    static int entryCount(const Itinerary &sheet);

    bool isRunning() const { return m_running; }
    bool cancelRequested() const { return m_cancelRequested; }

    // Starts a run over every entry, or over the sheet as it stands alone; ignored while
    // one is running.
    void start(bool everyEntry = true);
    // The end of the current entry's work. A failure ends the run; so does a cancel request
    // that arrived meanwhile.
    void entryDone(bool ok, const QString &message = QString());
    // Stops the run after the entry whose work is under way.
    void cancel();

Q_SIGNALS:
    // The sheet shows entry `number` (from 1) of `count`; its work may start.
    void entryReady(int number, int count, const QString &name);
    void cancelRequestedChanged();
    void finished(const itinerary::StepsOutcome &outcome);

private:
    void bringUpNext();
    void finish();

    Itinerary &m_sheet;
    bool m_running = false;
    bool m_cancelRequested = false;
    bool m_waiting = false; // an entry's work is under way
    StepsOutcome m_outcome;
    QString m_currentName;
};

} // namespace itinerary
