// The settings file when the program dies while saving: a child process saves in a loop and is
// killed with SIGKILL at random moments, 200 times. Every time, the file must hold the one or
// the other complete content, never a torn, empty or missing one.
#include "SaveLoopVariants.h"

#include "base/Clock.h"
#include "base/LocalFileSystem.h"
#include "base/TextEncoding.h"
#include "settings/SettingsFile.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

const QString SaveLoop = QStringLiteral(SETTINGS_SAVE_LOOP);
constexpr int Kills = 200;

QByteArray fileBytes(const test::SavedSettings &v) {
    return encodeGb18030(
        settingsText(v.leftOffsetMm, v.topOffsetMm, v.companyCode, v.companyNumber, v.companyName));
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class TestSettingsKill final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSavingLeavesAWholeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"info.ini"_s);
        const QByteArray even = fileBytes(test::savedVariant(0));
        const QByteArray odd = fileBytes(test::savedVariant(1));
        {
            QFile initial(path);
            QVERIFY(initial.open(QIODevice::WriteOnly));
            QCOMPARE(initial.write(even), even.size());
        }

        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int sawOdd = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            QProcess saver;
            saver.start(SaveLoop, {path});
            QVERIFY2(saver.waitForReadyRead(10000), qPrintable(saver.errorString()));
            QCOMPARE(saver.readLine(), QByteArray("saving\n"));
            // From at once (inside the first save) to several saves later.
            QThread::usleep(random.bounded(15000));
            saver.kill(); // SIGKILL
            QVERIFY(saver.waitForFinished(10000));
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

            const QByteArray now = readBytes(path);
            QVERIFY2(now == even || now == odd,
                     qPrintable(u"kill %1 (seed %2) left %3 bytes: %4"_s.arg(kill)
                                    .arg(seed)
                                    .arg(now.size())
                                    .arg(QString::fromLatin1(now.left(60).toHex()))));
            sawOdd += now == odd;
        }
        // The kills landed at different moments: both contents were seen.
        QVERIFY2(sawOdd > 0 && sawOdd < Kills, qPrintable(QString::number(sawOdd)));

        // What a killed save leaves behind never stands in the way: the file loads, and the
        // next save replaces it.
        Itinerary sheet;
        LocalFileSystem fileSystem;
        OffsetTexts offsets =
            loadSettings(path, sheet, fileSystem, FixedClock(QDate(2026, 12, 7))).value();
        const test::SavedSettings loaded =
            readBytes(path) == even ? test::savedVariant(0) : test::savedVariant(1);
        QCOMPARE(offsets.leftMm, loaded.leftOffsetMm);
        QCOMPARE(sheet.text(Field::IssuingUnit), loaded.companyName);
        offsets.leftMm = u"7"_s;
        QVERIFY(saveSettings(path, sheet, offsets, fileSystem));
        QVERIFY(readBytes(path).contains("<leftr>7</leftr>"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsKill)
#include "tst_settingskill.moc"
