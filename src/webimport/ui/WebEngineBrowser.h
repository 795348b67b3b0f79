#pragma once

#include "webimport/ui/BrowserControl.h"

#include <QByteArray>

#include <memory>

class QNetworkCookieJar;
class QVariant;
class QWebEnginePage;
class QWebEngineProfile;

namespace itinerary {

// The browser control on the engine: a QWebEnginePage with a profile of its own, off the
// record (cookies and cache in memory only, a fresh session each run), and no view. Nobody
// sees the site's pages: the query bar and the captcha picture are the operator's only view
// of them. A view would also have to be a child of the main window, and adding it after the
// window has appeared makes Qt replace the window's native window (a flicker).
//
// The page counts as visible to the site's scripts, as the classic control placed out of
// sight did: a hidden page would have its timers throttled. Its alerts are handed to the
// window (pageAlert), which shows them to the operator.
//
// The engine has none of the control's notifications, so they are made here: on every
// finished load one script takes the document's outer markup and the third table's inner
// markup, then DownloadComplete, DocumentComplete and StatusTextChange("完成") follow, in
// that order. A load that fails (no answer, refused connection) finishes too, on the engine's
// error page, exactly like the classic control, which completed its own error page: the
// window must not wait for a notification that never comes. The error page has no query
// form, so a query from it ends in the page-not-ready message, and the window then loads the
// start page again.
//
// The page stays on the site: on the origin (scheme, host, port) of the address last given to
// navigate(). The page's own navigation elsewhere (a script, a form, a link, a redirect) is
// refused and logged; a page of another origin that completes all the same is told without
// its markup, so it is never imported; alerts of another origin (a frame's) are not shown.
//
// Values go into the page as JSON string literals, never pasted into script text raw.
class WebEngineBrowser final : public BrowserControl {
    Q_OBJECT

public:
    explicit WebEngineBrowser(QObject *parent = nullptr);
    ~WebEngineBrowser() override;

    QWebEnginePage *page() const { return m_page; }
    QWebEngineProfile *profile() const { return m_profile; }

    // Copies the engine's cookies into `jar` as they arrive and as they go, HttpOnly ones
    // included, so that requests made through the jar (the captcha picture) carry the
    // page's session.
    void shareCookiesWith(QNetworkCookieJar *jar);

    QByteArray userAgent() const override;
    void navigate(const QString &address) override;
    void setElementValue(const QString &id, const QString &value, Done done) override;
    void execScript(const QString &code, Done done) override;

private:
    void pageFinished();
    // Runs a script in the page's document; the callback is dropped once this control is
    // gone (the engine answers pending scripts while it tears a page down).
    void run(const QString &script, std::function<void(const QVariant &)> callback);

    QWebEngineProfile *m_profile = nullptr;
    QWebEnginePage *m_page = nullptr;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace itinerary
