#pragma once

#include "webimport/ui/BrowserControl.h"

#include <QSet>
#include <QStringList>

// A browser control that records what the window asks of the page and answers at once: an
// input is missing when its id is in `missingIds`, the script fails when `scriptFails`.
class FakeBrowser final : public itinerary::BrowserControl {
    Q_OBJECT

public:
    QStringList calls;
    QSet<QString> missingIds;
    bool scriptFails = false;

    void navigate(const QString &address) override {
        calls.append(QStringLiteral("navigate ") + address);
    }
    void setElementValue(const QString &id, const QString &value, Done done) override {
        calls.append(id + u'=' + value);
        done(!missingIds.contains(id));
    }
    void execScript(const QString &code, Done done) override {
        calls.append(QStringLiteral("run ") + code);
        done(!scriptFails);
    }

    // A page has finished loading, as the engine's control reports it.
    void finishPage(const QString &markup = QString(),
                    const std::optional<QString> &thirdTable = std::nullopt) {
        Q_EMIT DownloadComplete(markup, thirdTable);
        Q_EMIT DocumentComplete(QUrl());
        Q_EMIT StatusTextChange(QStringLiteral("完成"));
    }
};
