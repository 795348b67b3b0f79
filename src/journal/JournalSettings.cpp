#include "journal/JournalSettings.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

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
} // namespace

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
    if (const QString counter = values.value(u"counter"_s); !counter.isEmpty())
        settings.counterName = counter;
    if (const QString database = values.value(u"database"_s); !database.isEmpty()) {
        if (const Result<DatabaseAddress> address = DatabaseAddress::parse(database))
            settings.database = *address;
        else
            settings.problem = u"%1 中的数据库地址无法使用（%2）"_s.arg(
                QLatin1String(JournalSettingsFileName), address.error());
    }
    return settings;
}

} // namespace itinerary
