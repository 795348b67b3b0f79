#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace itinerary {

// The embedded browser that drives the verification site, out of sight, as the window uses it:
// load a page, put a value into one of its inputs, run its query script, and hear when a page
// has finished or has something to tell the operator. Notifications arrive on the
// user-interface thread.
class BrowserControl : public QObject {
    Q_OBJECT

public:
    // Told whether an operation on the page succeeded; never called once the control is gone.
    using Done = std::function<void(bool ok)>;

    using QObject::QObject;
    ~BrowserControl() override = default;

    // Starts loading the page at `address` (nothing but the address: no post data, headers or
    // target frame).
    virtual void navigate(const QString &address) = 0;
    // Sets the value of the element with that id in the top-level document shown; `done(false)`
    // when the document has no such element.
    virtual void setElementValue(const QString &id, const QString &value, Done done) = 0;
    // Runs script text in the shown document's window; `done(false)` when it throws.
    virtual void execScript(const QString &code, Done done) = 0;
    // The User-Agent of the page's requests, for requests that must look like the page's own;
    // empty when the control has none of its own.
    virtual QByteArray userAgent() const { return {}; }

Q_SIGNALS:
    // On every finished page, in this order: DownloadComplete, DocumentComplete,
    // StatusTextChange("完成").
    //
    // The document's outer markup and the inner markup of its third table element (none when
    // it has fewer than three), both with upper-case tag names as the result page parser reads
    // them.
    void DownloadComplete(const QString &documentMarkup,
                          const std::optional<QString> &thirdTableInnerMarkup);
    void DocumentComplete(const QUrl &address);
    void StatusTextChange(const QString &text);

    // The page's script called alert() with `text`; the page waits until the handlers return.
    void pageAlert(const QString &text);
};

} // namespace itinerary
