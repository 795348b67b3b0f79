#pragma once

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
// "作废…" marks it void with a reason, "导出CSV…" writes the rows the filter selects. A window
// of its own, never modal, with its own database connection: printing goes on while it is
// open.
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

    QDateEdit *fromDate = nullptr;
    QDateEdit *toDate = nullptr;
    QLineEdit *ticketFilter = nullptr;
    QLineEdit *nameFilter = nullptr;
    QTableView *table = nullptr;
    QPushButton *searchButton = nullptr;
    QPushButton *loadButton = nullptr;
    QPushButton *voidButton = nullptr;
    QPushButton *exportButton = nullptr;

    // Runs the filter again ("查询").
    void refresh();
    void loadSelectedIntoSheet();
    void voidSelected();
    void exportCsv();

private:
    JournalFilter filter() const;
    bool ensureDatabase();

    JournalSettings m_settings;
    Itinerary &m_sheet;
    Messages &m_messages;
    const Clock &m_clock;
    std::unique_ptr<JournalDatabase> m_database;
    QSqlQueryModel *m_model = nullptr;
};

} // namespace itinerary
