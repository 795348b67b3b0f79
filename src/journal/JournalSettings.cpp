#include "journal/JournalSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
// The values of the [journal] section: "key=value" lines, blanks around both trimmed,
// ";" and "#" lines are comments. Written by hand rather than read with QSettings, which
// would turn a value with a comma into a list.
QHash<QString, QString> journalSection(const QByteArray &bytes) {
    QHash<QString, QString> values;
    bool inSection = false;
    const QString text = QString::fromUtf8(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inSection = line == u"[journal]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inSection && equals > 0)
            values.insert(line.left(equals).trimmed().toString(),
                          line.mid(equals + 1).trimmed().toString());
    }
    return values;
}

// A file that others than its owner may read.
bool readableByOthers(const QFile &file) {
    return (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)) != 0;
}

// The password is used all the same (a counter must print), but the operator should know
// that colleagues' accounts can read it.
QString exposedPasswordWarning(const QString &path) {
    return u"文件 %1 含有打印记录数据库的密码，本机其他用户也能读取，请改为只有本人可读（chmod 600）"_s
        .arg(QDir::toNativeSeparators(path));
}
} // namespace

QString DatabaseChoice::environment() {
    return QString::fromLocal8Bit(qgetenv(DatabaseUrlVariable));
}

JournalSettings JournalSettings::read(const QString &settingsDirectory) {
    const QDir folder(settingsDirectory);
    JournalSettings settings;
    settings.database =
        DatabaseAddress::sqliteFile(folder.filePath(QLatin1String(JournalFileName)));
    settings.outboxPath = folder.filePath(QLatin1String(JournalOutboxFileName));
    settings.counterName = QSysInfo::machineHostName();

    QFile file(folder.filePath(QLatin1String(JournalSettingsFileName)));
    if (!file.exists())
        return settings;
    if (!file.open(QIODevice::ReadOnly)) {
        settings.problem = u"无法读取 %1"_s.arg(QDir::toNativeSeparators(file.fileName()));
        return settings;
    }
    const QHash<QString, QString> values = journalSection(file.readAll());
    const bool exposed = readableByOthers(file);
    if (const QString counter = values.value(u"counter"_s); !counter.isEmpty())
        settings.counterName = counter;
    if (const QString database = values.value(u"database"_s); !database.isEmpty()) {
        if (const Result<DatabaseAddress> address = DatabaseAddress::parse(database)) {
            settings.database = *address;
            if (exposed && !address->password.isEmpty())
                settings.warnings.append(exposedPasswordWarning(file.fileName()));
        } else
            settings.problem = u"%1 中的数据库地址无法使用（%2）"_s.arg(
                QLatin1String(JournalSettingsFileName), address.error());
    }
    return settings;
}

Result<> JournalSettings::choose(const DatabaseChoice &choice) {
    if (!choice.url.isEmpty() && !choice.file.isEmpty())
        return Result<>::failure(u"--database and --database-file name two journals"_s);
    QString text = choice.url;
    bool fileExposed = false;
    if (!choice.file.isEmpty()) {
        QFile file(choice.file);
        if (!file.open(QIODevice::ReadOnly))
            return Result<>::failure(u"cannot read %1: %2"_s.arg(
                QDir::toNativeSeparators(choice.file), file.errorString()));
        text = QString::fromUtf8(file.readLine()).trimmed();
        fileExposed = readableByOthers(file);
    } else if (text.isEmpty()) {
        text = choice.environmentUrl;
    }
    if (text.isEmpty())
        return succeeded();
    const Result<DatabaseAddress> address = DatabaseAddress::parse(text);
    if (!address)
        return Result<>::failure(address.error());
    database = *address;
    problem.clear();
    // journal.ini's warnings no longer apply; the chosen address's do.
    warnings.clear();
    if (!address->password.isEmpty() && fileExposed)
        warnings.append(exposedPasswordWarning(choice.file));
    if (!address->password.isEmpty() && !choice.url.isEmpty())
        warnings.append(
            u"命令行上的数据库密码本机其他用户可以看到，请改用 --database-file 或环境变量 %1"_s.arg(
                QLatin1String(DatabaseUrlVariable)));
    return succeeded();
}

} // namespace itinerary
