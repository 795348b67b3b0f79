// itinerary-cli page, run as a process on saved result pages.
#include "TestPaths.h"

#include "base/TextEncoding.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QString pagePath(const QString &name) {
    return QStringLiteral(ITINERARY_TEST_DATA_DIR "/pages/") + name;
}

Run runPage(const QStringList &arguments, const QByteArray &input = {}) {
    QProcess process;
    process.start(QStringLiteral(ITINERARY_BINARY_DIR "/tools/itinerary-cli/itinerary-cli"),
                  QStringList{u"page"_s} + arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPageCommand final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resultPageGivesTheSheetAsOneJsonLine() {
        const Run run = runPage({pagePath(u"result-serialised.html"_s)});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY(run.out.endsWith('\n'));
        QCOMPARE(run.out.count('\n'), 1);
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(run.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject state = json.object();
        QCOMPARE(state.keys(),
                 (QStringList{u"current"_s, u"fields"_s, u"messages"_s, u"next_enabled"_s,
                              u"passengers"_s, u"prev_enabled"_s}));
        const QJsonArray fields = state.value(u"fields"_s).toArray();
        QCOMPARE(fields.size(), 59);
        QCOMPARE(fields[0].toString(), u"张伟"_s);
        QCOMPARE(fields[36].toString(), u"仅供验真&报销<不作退票依据>"_s);
        QCOMPARE(state.value(u"messages"_s).toArray().size(), 0);
        QCOMPARE(state.value(u"passengers"_s).toArray().size(), 0);
        QCOMPARE(state.value(u"prev_enabled"_s).toBool(true), false);
        QCOMPARE(state.value(u"next_enabled"_s).toBool(true), false);
        // Keys in their fixed order, strings as raw UTF-8.
        QVERIFY(run.out.startsWith("{\"fields\":[\"张伟\",\"\",\"不得签转 改期退票收费\","));
    }

    // Every way of handing over the same page gives byte-for-byte the same output.
    void sameOutputEveryWay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("gbk"); // the input re-encoded in GB18030
        const QString serialised = pagePath(u"result-serialised.html"_s);
        const QByteArray bytes = fileBytes(serialised);
        QTest::newRow("upper-case form")
            << QStringList{pagePath(u"result-uppercase.html"_s)} << QByteArray() << false;
        QTest::newRow("standard input") << QStringList{} << bytes << false;
        QTest::newRow("dash for standard input") << QStringList{u"-"_s} << bytes << false;
        QTest::newRow("GB18030 on standard input") << QStringList{} << bytes << true;
        QTest::newRow("after the end of options")
            << QStringList{u"--"_s, serialised} << QByteArray() << false;
        QTest::newRow("home page afterwards")
            << QStringList{serialised, pagePath(u"home.html"_s)} << QByteArray() << false;
        QTest::newRow("after another result")
            << QStringList{pagePath(u"result-five-cities.html"_s), serialised} << QByteArray()
            << false;
    }
    void sameOutputEveryWay() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(bool, gbk);
        if (gbk)
            input = encodeGb18030(QString::fromUtf8(input));
        const Run reference = runPage({pagePath(u"result-serialised.html"_s)});
        const Run run = runPage(arguments, input);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, reference.out);
    }

    void pagesThatAreNotResults() {
        const Run home = runPage({pagePath(u"home.html"_s)});
        QCOMPARE(home.exitCode, 0);
        const Run empty = runPage({}, QByteArray());
        QCOMPARE(empty.exitCode, 0);
        QCOMPARE(home.out, empty.out); // both leave the fresh sheet
        QVERIFY(home.out.endsWith(",\"messages\":[]}\n"));

        const Run broken = runPage({pagePath(u"marker-without-result.html"_s)});
        QCOMPARE(broken.exitCode, 0);
        QVERIFY(broken.out.endsWith(",\"messages\":[[\"\",\"无法识别验真结果页面\"]]}\n"));
    }

    void badUsage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown option") << QStringList{u"--today"_s, u"2026-01-01"_s};
        QTest::newRow("short option") << QStringList{u"-x"_s};
        QTest::newRow("missing file") << QStringList{pagePath(u"no-such-page.html"_s)};
        QTest::newRow("missing second file")
            << QStringList{pagePath(u"home.html"_s), pagePath(u"no-such-page.html"_s)};
        QTest::newRow("a directory") << QStringList{QStringLiteral(ITINERARY_TEST_DATA_DIR)};
    }
    void badUsage() {
        QFETCH(QStringList, arguments);
        const Run run = runPage(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.startsWith("itinerary-cli: "));
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
    }
};

QTEST_GUILESS_MAIN(TestPageCommand)
#include "tst_pagecommand.moc"
