#include "base/Clock.h"
#include "base/LocalFileSystem.h"
#include "settings/SettingsFile.h"
#include "settings/StartupValues.h"
#include "settings/TextFiles.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
// The real file system whose saves fail.
class FaultyFileSystem final : public FileSystem {
public:
    bool exists(const QString &path) const override { return m_real.exists(path); }
    std::optional<QByteArray> read(const QString &path) const override { return m_real.read(path); }
    Result<> replace(const QString &, const QByteArray &) override {
        return Result<>::failure(u"No space left on device"_s);
    }

private:
    LocalFileSystem m_real;
};

// The offsets as the sheet's settings hold them before a load.
OffsetTexts loadOrDefaults(const QString &path, Itinerary &sheet, const FileSystem &fs,
                           const Clock &clock) {
    return loadSettings(path, sheet, fs, clock).value_or(OffsetTexts());
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// 行程单打印软件 in GBK.
const QByteArray GbkTitle = QByteArray::fromHex("d0d0b3ccb5a5b4f2d3a1c8edbcfe");

const QByteArray FileAfterNudges = "<setup>\r\n"
                                   "<leftr>-3</leftr>\r\n"
                                   "<topb>2</topb>\r\n"
                                   "<companycode>BJS123</companycode>\r\n"
                                   "<companynumber>08012345</companynumber>\r\n"
                                   "<companyname>" +
                                   GbkTitle +
                                   "</companyname>\r\n"
                                   "</setup>";
} // namespace

class TestSettingsFile final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // ---- reading one tag

    void tagValues_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        // clang-format off
        QTest::newRow("plain")                << u"<leftr>5</leftr>"_s                       << u"leftr"_s       << true  << u"5"_s;
        QTest::newRow("spaces and breaks")    << u"<topb> 1\r\n2 </topb>"_s                  << u"topb"_s        << true  << u" 1\r\n2 "_s;
        QTest::newRow("empty value")          << u"<leftr></leftr>"_s                        << u"leftr"_s       << true  << QString();
        QTest::newRow("no opening tag")       << u"<topb>5</topb>"_s                         << u"leftr"_s       << false << QString();
        QTest::newRow("no closing tag")       << u"<leftr>5"_s                               << u"leftr"_s       << false << QString();
        QTest::newRow("capital tag")          << u"<LEFTR>5</LEFTR>"_s                       << u"leftr"_s       << false << QString();
        QTest::newRow("capital closing")      << u"<leftr>5</LEFTR>"_s                       << u"leftr"_s       << false << QString();
        QTest::newRow("opening twice")        << u"<leftr>1<leftr>2</leftr>"_s               << u"leftr"_s       << false << QString();
        QTest::newRow("second pair ignored")  << u"<leftr>1</leftr><leftr>2</leftr>"_s       << u"leftr"_s       << true  << u"1"_s;
        QTest::newRow("value holds closing")  << u"<companyname>A</companyname>B</companyname>"_s << u"companyname"_s << true << u"A"_s;
        QTest::newRow("code is not number")   << u"<companynumber>9</companynumber>"_s       << u"companycode"_s << false << QString();
        QTest::newRow("number is not code")   << u"<companycode>7</companycode>"_s           << u"companynumber"_s << false << QString();
        QTest::newRow("closing before open")  << u"</leftr><leftr>4</leftr>"_s               << u"leftr"_s       << true  << u"4"_s;
        QTest::newRow("other text around")    << u"x<setup>y<topb>-2</topb>z"_s              << u"topb"_s        << true  << u"-2"_s;
        QTest::newRow("chinese")              << u"<companyname>行程单</companyname>"_s       << u"companyname"_s << true  << u"行程单"_s;
        QTest::newRow("empty content")        << QString()                                   << u"leftr"_s       << false << QString();
        // clang-format on
    }
    void tagValues() {
        QFETCH(QString, content);
        QFETCH(QString, tag);
        QFETCH(bool, found);
        QFETCH(QString, value);
        const std::optional<QString> result = tagValue(content, tag);
        QCOMPARE(result.has_value(), found);
        if (found)
            QCOMPARE(*result, value);
    }

    // ---- the file's exact bytes

    void savedFileIsExact() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"info.ini"_s);
        Itinerary sheet;
        sheet.setText(Field::AgentCode, u"BJS123"_s);
        sheet.setText(Field::CompanyNumber, u"08012345"_s);
        sheet.setText(Field::IssuingUnit, u"行程单打印软件"_s);
        LocalFileSystem fs;
        QVERIFY(saveSettings(path, sheet, OffsetTexts{u"-3"_s, u"2"_s}, fs));
        QCOMPARE(readBytes(path), FileAfterNudges);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"info.ini"_s});
    }

    void valuesAreWrittenAsTheyStand() {
        const QString text = settingsText(u" 1 "_s, u"&lt;"_s, u"<b>"_s, QString(), u"a\"b"_s);
        QCOMPARE(text, u"<setup>\r\n<leftr> 1 </leftr>\r\n<topb>&lt;</topb>\r\n"
                       "<companycode><b></companycode>\r\n<companynumber></companynumber>\r\n"
                       "<companyname>a\"b</companyname>\r\n</setup>"_s);
    }

    void resavingAnUnchangedSheetGivesTheSameBytes() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"info.ini"_s);
        writeBytes(path, FileAfterNudges);
        LocalFileSystem fs;
        const FixedClock clock(QDate(2026, 12, 7));
        for (int round = 0; round < 2; ++round) {
            Itinerary sheet;
            const OffsetTexts offsets = loadOrDefaults(path, sheet, fs, clock);
            QVERIFY(saveSettings(path, sheet, offsets, fs));
            QCOMPARE(readBytes(path), FileAfterNudges);
        }
    }

    // ---- loading

    void loadedValues_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // leftOffsetMm, topOffsetMm, 38, 41, 39
        const QStringList defaults{u"0"_s, u"0"_s, QString(), QString(), QString()};
        // clang-format off
        QTest::newRow("no file")             << false << QByteArray() << defaults;
        QTest::newRow("empty file")          << true  << QByteArray() << defaults;
        QTest::newRow("after nudges, GBK")   << true  << FileAfterNudges
                                             << QStringList{u"-3"_s, u"2"_s, u"BJS123"_s, u"08012345"_s, u"行程单打印软件"_s};
        QTest::newRow("UTF-8 file")          << true  << u"<companyname>行程单打印软件</companyname><leftr>1</leftr><topb>1</topb>"_s.toUtf8()
                                             << QStringList{u"1"_s, u"1"_s, QString(), QString(), u"行程单打印软件"_s};
        QTest::newRow("only topb")           << true  << QByteArray("<topb>5</topb>")
                                             << QStringList{QString(), u"5"_s, QString(), QString(), QString()};
        QTest::newRow("capital leftr")       << true  << QByteArray("<LEFTR>4</LEFTR><topb>0</topb>")
                                             << QStringList{QString(), u"0"_s, QString(), QString(), QString()};
        QTest::newRow("spaces kept")         << true  << QByteArray("<leftr> 2 </leftr><topb>0</topb><companyname>  A B  </companyname>")
                                             << QStringList{u" 2 "_s, u"0"_s, QString(), QString(), u"  A B  "_s};
        QTest::newRow("change rule applies") << true  << QByteArray("<companycode>bjs：1</companycode><topb>0</topb><leftr>0</leftr>")
                                             << QStringList{u"0"_s, u"0"_s, u"BJS:1"_s, QString(), QString()};
        QTest::newRow("LF lines, any order") << true  << QByteArray("<companynumber>7</companynumber>\n<topb>-1</topb>\n<leftr>0.5</leftr>")
                                             << QStringList{u"0.5"_s, u"-1"_s, QString(), u"7"_s, QString()};
        QTest::newRow("name cut at closing") << true  << QByteArray("<companyname>A</companyname>B</companyname>")
                                             << QStringList{QString(), QString(), QString(), QString(), u"A"_s};
        // clang-format on
    }
    void loadedValues() {
        QFETCH(bool, present);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"info.ini"_s);
        if (present)
            writeBytes(path, bytes);
        Itinerary sheet;
        LocalFileSystem fs;
        const OffsetTexts offsets = loadOrDefaults(path, sheet, fs, FixedClock(QDate(2026, 12, 7)));
        const QStringList actual{offsets.leftMm, offsets.topMm, sheet.text(Field::AgentCode),
                                 sheet.text(Field::CompanyNumber), sheet.text(Field::IssuingUnit)};
        QCOMPARE(actual, expected);
        QCOMPARE(sheet.text(Field::IssueDate), u"2026-12-7"_s);
    }

    void unreadableFileCountsAsAbsent() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"info.ini"_s);
        QVERIFY(QDir(dir.path()).mkdir(u"info.ini"_s)); // exists, but no file to read
        Itinerary sheet;
        LocalFileSystem fs;
        QVERIFY(pathExists(path, fs));
        QVERIFY(!readTextFile(path, fs).has_value());
        QVERIFY(!loadSettings(path, sheet, fs, FixedClock(QDate(2026, 1, 31))));
        QCOMPARE(sheet.text(Field::IssueDate), u"2026-1-31"_s);
    }

    void issueDateText_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("system short form")
            << QString::fromLatin1(IssueDateFormat) << u"2026-12-7"_s;
        QTest::newRow("backslashes") << u"yyyy\\MM\\dd"_s << u"2026-12-07"_s;
        QTest::newRow("dots stay") << u"d.M.yyyy"_s << u"7.12.2026"_s;
        QTest::newRow("mixed") << u"yyyy/M.d"_s << u"2026-12.7"_s;
    }
    void issueDateText() {
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QCOMPARE(itinerary::issueDateText(QDate(2026, 12, 7), format), expected);
    }

    // ---- saving that fails

    void failedSaveKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"info.ini"_s);
        writeBytes(path, FileAfterNudges);
        Itinerary sheet;
        sheet.setText(Field::IssuingUnit, u"一个很长的新名字"_s.repeated(50));
        FaultyFileSystem fs;
        const Result<> result = saveSettings(path, sheet, OffsetTexts{u"12"_s, u"0"_s}, fs);
        QVERIFY(!result);
        QVERIFY2(result.error().contains(QDir::toNativeSeparators(path)),
                 qPrintable(result.error()));
        QCOMPARE(readBytes(path), FileAfterNudges);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"info.ini"_s});
    }

    void unwritableLocation_data() {
        QTest::addColumn<bool>("readOnlyDirectory");
        QTest::newRow("read-only directory") << true;
        QTest::newRow("directory is a file") << false;
    }
    void unwritableLocation() {
        QFETCH(bool, readOnlyDirectory);
        if (readOnlyDirectory && ::geteuid() == 0)
            QSKIP("the superuser writes into read-only directories");
        QTemporaryDir dir;
        QString path;
        if (readOnlyDirectory) {
            const QString sub = dir.filePath(u"ro"_s);
            QVERIFY(QDir().mkdir(sub));
            path = sub + u"/info.ini"_s;
            writeBytes(path, FileAfterNudges);
            QVERIFY(QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else {
            writeBytes(dir.filePath(u"plain"_s), "x");
            path = dir.filePath(u"plain/info.ini"_s);
        }
        Itinerary sheet;
        LocalFileSystem fs;
        const Result<> result = saveSettings(path, sheet, OffsetTexts(), fs);
        if (readOnlyDirectory) {
            QFile::setPermissions(QFileInfo(path).absolutePath(), QFileDevice::ReadOwner |
                                                                      QFileDevice::WriteOwner |
                                                                      QFileDevice::ExeOwner);
            QCOMPARE(readBytes(path), FileAfterNudges);
        }
        QVERIFY(!result);
        QVERIFY(result.error().contains(QDir::toNativeSeparators(path)));
    }

    void saveCreatesTheConfigurationDirectory() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"config/itinerary/itinerary/info.ini"_s);
        Itinerary sheet;
        LocalFileSystem fs;
        QVERIFY(saveSettings(path, sheet, OffsetTexts(), fs));
        QVERIFY(readBytes(path).startsWith("<setup>\r\n<leftr>0</leftr>"));
    }

    void saveKeepsTheFilePermissions() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"info.ini"_s);
        writeBytes(path, "old");
        const auto shared = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                            QFileDevice::ReadOther;
        QVERIFY(QFile::setPermissions(path, shared));
        Itinerary sheet;
        LocalFileSystem fs;
        QVERIFY(saveSettings(path, sheet, OffsetTexts(), fs));
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 shared);
    }

    // ---- where the file lives

    void settingsFilePath_data() {
        QTest::addColumn<QString>("inApplicationDir"); // "file", "directory" or ""
        QTest::addColumn<bool>("portable");
        QTest::newRow("portable installation") << u"file"_s << true;
        QTest::newRow("installed program") << QString() << false;
        QTest::newRow("a directory named info.ini") << u"directory"_s << false;
    }
    void settingsFilePath() {
        QFETCH(QString, inApplicationDir);
        QFETCH(bool, portable);
        QTemporaryDir appDir;
        QTemporaryDir configDir;
        if (inApplicationDir == u"file"_s)
            writeBytes(appDir.filePath(u"info.ini"_s), "<setup>");
        else if (inApplicationDir == u"directory"_s)
            QVERIFY(QDir(appDir.path()).mkdir(u"info.ini"_s));
        const QString expected =
            portable ? appDir.filePath(u"info.ini"_s) : configDir.filePath(u"info.ini"_s);
        QCOMPARE(itinerary::settingsFilePath(appDir.path(), configDir.path()), expected);
    }

    // ---- start-up

    void startupValuesArePrepared() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"info.ini"_s);
        writeBytes(path, FileAfterNudges);
        Itinerary sheet;
        sheet.setIntlFlag(1);
        LocalFileSystem fs;
        const StartupValues values = loadStartupValues(u"http://127.0.0.1:8091/"_s, path, sheet, fs,
                                                       FixedClock(QDate(2027, 3, 4)));
        QCOMPARE(values.intlFlag, qint16(0));
        QCOMPARE(sheet.intlFlag(), qint16(0));
        QCOMPARE(values.printUrl, u"http://127.0.0.1:8091/Print/print.asp"_s);
        QCOMPARE(values.applicationTitle, u"行程单打印软件"_s);
        QCOMPARE(values.settingsPath, path);
        QCOMPARE(values.storedOffsets, (OffsetTexts{u"-3"_s, u"2"_s}));
        QCOMPARE(sheet.text(Field::IssuingUnit), u"行程单打印软件"_s);
        QCOMPARE(sheet.text(Field::IssueDate), u"2027-3-4"_s);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
