#pragma once

#include "base/Result.h"
#include "journal/JournalFilter.h"
#include "journal/JournalSettings.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QDateEdit;
class QLineEdit;
class QPushButton;
class QSqlQueryModel;
class QTableView;

namespace itinerary {

class Clock;
class Itinerary;
class JournalDatabase;
class Messages;

// The print journal window ("打印记录"): the rows of a date range, an e-ticket number and a
// passenger name, newest first; "载入到票面" puts the selected row on the sheet for a reprint,
// "作废…" marks it void with a reason, "导出CSV…" writes the rows the filter selects (on a
// thread of its own, with a connection of its own, so that a long journal never holds the
// counter). A window of its own, never modal, with its own database connection: printing goes
// on while it is open. Its controls have object names for tests to find.
class JournalWindow final : public QWidget {
    Q_OBJECT

public:
    JournalWindow(const JournalSettings &settings, Itinerary &sheet, Messages &messages,
                  const Clock &clock, QWidget *parent = nullptr);
    ~JournalWindow() override;

    // Asked for "作废…" and "导出CSV…"; nothing when the operator cancels. Replaceable by tests.
    std::function<std::optional<QString>()> askVoidReason;
    std::function<std::optional<QString>(const QString &suggestedName)> askCsvPath;

    QSqlQueryModel *model() const { return m_model; }
    // The entry id of the selected row; empty when none is selected.
    QString selectedEntryId() const;

    // Runs the filter again ("查询").
    void refresh();
    void loadSelectedIntoSheet();
    void voidSelected();
    void exportCsv();

Q_SIGNALS:
    // An export has ended, written or not (the operator has been told which).
    void exportFinished();

private:
    JournalFilter filter() const;
    bool ensureDatabase();
    void showExportResult(const QString &path, const Result<qsizetype> &written);

    QDateEdit *m_fromDate = nullptr;
    QDateEdit *m_toDate = nullptr;
    QLineEdit *m_ticketFilter = nullptr;
    QLineEdit *m_nameFilter = nullptr;
    QTableView *m_table = nullptr;
    QPushButton *m_searchButton = nullptr;
    QPushButton *m_loadButton = nullptr;
    QPushButton *m_voidButton = nullptr;
    QPushButton *m_exportButton = nullptr;

    JournalSettings m_settings;
    Itinerary &m_sheet;
    Messages &m_messages;
    const Clock &m_clock;
    std::unique_ptr<JournalDatabase> m_database;
    QSqlQueryModel *m_model = nullptr;
};

} // namespace itinerary
