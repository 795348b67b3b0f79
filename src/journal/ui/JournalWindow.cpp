#include "journal/ui/JournalWindow.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "journal/JournalCsv.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalMessages.h"
#include "journal/Reprint.h"

#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
// The rows shown: the entry id (hidden), then what the operator reads, worded in SQL so that
// both engines give the same texts.
const QString ShownColumns =
    u"entry_id, replace(substr(printed_at, 1, 19), 'T', ' '), counter_name, "
    "CASE WHEN printed = 1 THEN '已打印' ELSE '未打印' END, message, check_code, ticket_number, "
    "passenger_name, record_code, total, "
    "CASE WHEN international = 1 THEN '国际' ELSE '国内' END, printer_name, "
    "CASE WHEN voided = 1 THEN '作废' ELSE '' END, void_reason"_s;
const QStringList Headers{u"记录号"_s,    u"时间"_s,   u"柜台"_s,     u"结果"_s,     u"提示"_s,
                          u"验证码"_s,    u"票号"_s,   u"旅客姓名"_s, u"订座记录"_s, u"合计"_s,
                          u"国内/国际"_s, u"打印机"_s, u"作废"_s,     u"作废原因"_s};
// The window asks a server this briefly, so that a server that does not answer costs the
// operator two seconds, not a frozen window.
constexpr DatabaseLimits WindowLimits{2, 5000};
constexpr int DefaultDays = 30;

// Writes the rows the filter selects as CSV, with a connection of its own (Qt SQL connections
// belong to the thread that opens them): how many rows, or why not.
Result<qsizetype> writeCsv(const DatabaseAddress &database, const JournalFilter &filter,
                           const QString &path) {
    const Result<std::unique_ptr<JournalDatabase>> db =
        JournalDatabase::open(database, JournalDatabase::Access::ReadOnly, WindowLimits);
    if (!db)
        return Result<qsizetype>::failure(journalmessages::CannotOpen.toString().arg(db.error()));
    const Result<QList<JournalEntry>> rows = (*db)->entries(filter);
    if (!rows)
        return Result<qsizetype>::failure(journalmessages::CannotRead.toString().arg(rows.error()));
    QSaveFile file(path);
    const QByteArray bytes = journalcsv::document(*rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Result<qsizetype>::failure(journalmessages::ExportFailed.toString().arg(
            QDir::toNativeSeparators(path), file.errorString()));
    return rows->size();
}

template <typename Widget> Widget *named(Widget *widget, const QString &name) {
    widget->setObjectName(name);
    return widget;
}
} // namespace

JournalWindow::JournalWindow(const JournalSettings &settings, Itinerary &sheet, Messages &messages,
                             const Clock &clock, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_settings(settings)
    , m_sheet(sheet)
    , m_messages(messages)
    , m_clock(clock)
    , m_model(new QSqlQueryModel(this)) {
    setObjectName(u"JournalWindow"_s);
    setWindowTitle(u"打印记录"_s);
    resize(960, 480);

    const QDate today = m_clock.today();
    m_fromDate = named(new QDateEdit(today.addDays(-DefaultDays), this), u"fromDate"_s);
    m_toDate = named(new QDateEdit(today, this), u"toDate"_s);
    for (QDateEdit *edit : {m_fromDate, m_toDate}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(u"yyyy-MM-dd"_s);
    }
    m_ticketFilter = named(new QLineEdit(this), u"ticketFilter"_s);
    m_nameFilter = named(new QLineEdit(this), u"nameFilter"_s);
    m_searchButton = named(new QPushButton(u"查询"_s, this), u"searchButton"_s);
    m_loadButton = named(new QPushButton(u"载入到票面"_s, this), u"loadButton"_s);
    m_voidButton = named(new QPushButton(u"作废…"_s, this), u"voidButton"_s);
    m_exportButton = named(new QPushButton(u"导出CSV…"_s, this), u"exportButton"_s);

    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(u"日期"_s, this));
    filters->addWidget(m_fromDate);
    filters->addWidget(new QLabel(u"至"_s, this));
    filters->addWidget(m_toDate);
    filters->addWidget(new QLabel(u"票号"_s, this));
    filters->addWidget(m_ticketFilter);
    filters->addWidget(new QLabel(u"姓名"_s, this));
    filters->addWidget(m_nameFilter);
    filters->addWidget(m_searchButton);

    m_table = named(new QTableView(this), u"journalTable"_s);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();

    auto *actions = new QHBoxLayout;
    actions->addStretch();
    actions->addWidget(m_loadButton);
    actions->addWidget(m_voidButton);
    actions->addWidget(m_exportButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_table);
    layout->addLayout(actions);

    askVoidReason = [this]() -> std::optional<QString> {
        bool ok = false;
        const QString reason = QInputDialog::getText(
            this, u"作废"_s, u"作废原因（如：卡纸、打错）："_s, QLineEdit::Normal, QString(), &ok);
        return ok ? std::optional<QString>(reason) : std::nullopt;
    };
    askCsvPath = [this](const QString &suggestedName) -> std::optional<QString> {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString path = QFileDialog::getSaveFileName(
            this, u"导出CSV"_s, QDir(folder).filePath(suggestedName), u"CSV (*.csv)"_s);
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    };

    connect(m_searchButton, &QPushButton::clicked, this, &JournalWindow::refresh);
    connect(m_ticketFilter, &QLineEdit::returnPressed, this, &JournalWindow::refresh);
    connect(m_nameFilter, &QLineEdit::returnPressed, this, &JournalWindow::refresh);
    connect(m_loadButton, &QPushButton::clicked, this, &JournalWindow::loadSelectedIntoSheet);
    connect(m_voidButton, &QPushButton::clicked, this, &JournalWindow::voidSelected);
    connect(m_exportButton, &QPushButton::clicked, this, &JournalWindow::exportCsv);
    refresh();
}

JournalWindow::~JournalWindow() {
    // The model's query belongs to the connection, which goes after it.
    delete m_model;
    m_database.reset();
}

JournalFilter JournalWindow::filter() const {
    return JournalFilter{m_fromDate->date(), m_toDate->date(), m_ticketFilter->text(),
                         m_nameFilter->text()};
}

bool JournalWindow::ensureDatabase() {
    if (m_database)
        return true;
    if (!m_settings.problem.isEmpty()) {
        m_messages.showMessage(journalmessages::CannotOpen.toString().arg(m_settings.problem));
        return false;
    }
    Result<std::unique_ptr<JournalDatabase>> opened = JournalDatabase::open(
        m_settings.database, JournalDatabase::Access::ReadWrite, WindowLimits);
    if (!opened) {
        m_messages.showMessage(journalmessages::CannotOpen.toString().arg(opened.error()));
        return false;
    }
    m_database = *std::move(opened);
    return true;
}

void JournalWindow::refresh() {
    if (!ensureDatabase())
        return;
    QSqlQuery query = m_database->selectQuery(ShownColumns, filter(), true);
    if (!query.exec()) {
        m_messages.showMessage(journalmessages::CannotRead.toString().arg(
            describeDatabaseError(m_database->address(), query.lastError())));
        m_model->clear();
        // Connect afresh at the next try: the server may have gone away.
        m_database.reset();
        return;
    }
    m_model->setQuery(std::move(query));
    for (int column = 0; column < Headers.size(); ++column)
        m_model->setHeaderData(column, Qt::Horizontal, Headers.at(column));
    m_table->hideColumn(0);
}

QString JournalWindow::selectedEntryId() const {
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return QString();
    return m_model->data(m_model->index(rows.first().row(), 0)).toString();
}

void JournalWindow::loadSelectedIntoSheet() {
    const QString id = selectedEntryId();
    if (id.isEmpty() || !ensureDatabase())
        return m_messages.showMessage(journalmessages::NoRowSelected.toString());
    const Result<JournalEntry> entry = m_database->entry(id);
    if (!entry)
        return m_messages.showMessage(journalmessages::CannotRead.toString().arg(entry.error()));
    loadForReprint(*entry, m_sheet);
}

void JournalWindow::voidSelected() {
    const QString id = selectedEntryId();
    if (id.isEmpty() || !ensureDatabase())
        return m_messages.showMessage(journalmessages::NoRowSelected.toString());
    const std::optional<QString> reason = askVoidReason();
    if (!reason)
        return;
    if (reason->trimmed().isEmpty())
        return m_messages.showMessage(journalmessages::NoVoidReason.toString());
    if (const Result<> voided = m_database->markVoid(id, reason->trimmed(), m_clock.now()); !voided)
        return m_messages.showMessage(journalmessages::VoidFailed.toString().arg(voided.error()));
    refresh();
}

void JournalWindow::exportCsv() {
    if (!m_settings.problem.isEmpty())
        return m_messages.showMessage(
            journalmessages::CannotOpen.toString().arg(m_settings.problem));
    const std::optional<QString> path =
        askCsvPath(u"打印记录-%1.csv"_s.arg(m_clock.today().toString(u"yyyyMMdd"_s)));
    if (!path)
        return;
    m_exportButton->setEnabled(false);
    auto *watcher = new QFutureWatcher<Result<qsizetype>>(this);
    connect(watcher, &QFutureWatcher<Result<qsizetype>>::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        m_exportButton->setEnabled(true);
        showExportResult(*path, watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(writeCsv, m_settings.database, filter(), *path));
}

void JournalWindow::showExportResult(const QString &path, const Result<qsizetype> &written) {
    if (!written)
        m_messages.showMessage(written.error());
    else
        m_messages.showMessage(journalmessages::Exported.toString()
                                   .arg(written.value())
                                   .arg(QDir::toNativeSeparators(path)));
    Q_EMIT exportFinished();
}

} // namespace itinerary
