#include "CounterPageFiles.h"

#include <QTest>

using namespace itinerary::web;

class TestCounterPageFiles final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pathsNameThePagesFilesOnly_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("contentType"); // empty: no file
        QTest::newRow("the page") << QByteArray("/") << QByteArray("text/html; charset=utf-8");
        QTest::newRow("by name") << QByteArray("/index.html")
                                 << QByteArray("text/html; charset=utf-8");
        QTest::newRow("a module") << QByteArray("/main.js")
                                  << QByteArray("text/javascript; charset=utf-8");
        QTest::newRow("the style")
            << QByteArray("/counter.css") << QByteArray("text/css; charset=utf-8");
        QTest::newRow("up a folder") << QByteArray("/../page/main.js") << QByteArray();
        QTest::newRow("a folder below") << QByteArray("/page/main.js") << QByteArray();
        QTest::newRow("backslash") << QByteArray("/..\\main.js") << QByteArray();
        QTest::newRow("unknown file") << QByteArray("/missing.js") << QByteArray();
        QTest::newRow("another kind") << QByteArray("/CounterPageFiles.cpp") << QByteArray();
        QTest::newRow("relative") << QByteArray("main.js") << QByteArray();
    }

    void pathsNameThePagesFilesOnly() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, contentType);
        const std::optional<PageFile> file = counterPageFile(path);
        QCOMPARE(file.has_value(), !contentType.isEmpty());
        if (file) {
            QCOMPARE(file->contentType, contentType);
            QVERIFY(!file->body.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestCounterPageFiles)
#include "tst_counterpagefiles.moc"
