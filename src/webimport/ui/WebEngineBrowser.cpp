#include "webimport/ui/WebEngineBrowser.h"

#include "webimport/MarkupNormaliser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QVariant>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <utility>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// "itinerary.web": pages that did not load and page scripts that failed.
Q_LOGGING_CATEGORY(webLog, "itinerary.web", QtInfoMsg)

// The address as the log shows it: without its query, which may carry what was typed.
QByteArray loggable(const QUrl &url) {
    return url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment)
        .toEncoded();
}

// The status text of the classic control for a finished page.
const QString FinishedStatus = u"完成"_s;

// Both texts in one round trip, so they always describe the same document.
const QString MarkupScript = uR"js((function () {
  var root = document.documentElement;
  var tables = document.getElementsByTagName("table");
  return [root ? root.outerHTML : "", tables.length > 2 ? tables[2].innerHTML : null];
})())js"_s;

// The arguments of a page script as one JSON array literal: every quote, backslash and line
// end escaped, so a value can never end its string and become script.
QString jsonArguments(const QJsonArray &arguments) {
    return QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact));
}

// Scheme, host and port, the default port of the scheme filled in.
bool sameOrigin(const QUrl &a, const QUrl &b) {
    const auto port = [](const QUrl &url) {
        return url.port(url.scheme() == u"https"_s ? 443 : url.scheme() == u"http"_s ? 80 : -1);
    };
    return a.isValid() && b.isValid() && !a.host().isEmpty() && a.scheme() == b.scheme() &&
           a.host() == b.host() && port(a) == port(b);
}

bool isTrue(const QVariant &result) {
    return result.metaType().id() == QMetaType::Bool && result.toBool();
}

bool isFalse(const QVariant &result) {
    return result.metaType().id() == QMetaType::Bool && !result.toBool();
}

// The site's page: its alerts go to the browser control instead of a dialog of the engine's
// own (which a page without a view does not have), and it stays on the site. A page the site
// did not make (a script, a form, a redirect or a link of a hostile or broken page sending
// it elsewhere) would otherwise be imported as a result page, and its alerts shown to the
// operator as the site's.
class SitePage final : public QWebEnginePage {
public:
    SitePage(QWebEngineProfile *profile, WebEngineBrowser *browser)
        : QWebEnginePage(profile, browser)
        , m_browser(browser) {}

    // The origin of the address the program loaded last; pages may go anywhere within it.
    void setSite(const QUrl &address) { m_site = address; }
    bool onSite(const QUrl &url) const { return sameOrigin(url, m_site); }
    // The engine ends a refused navigation with a failed load of the page still shown, which
    // must not count as a new page (it would be imported again and its captcha replaced).
    bool takeRefusal() { return std::exchange(m_refused, false); }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override {
        // Frames inside the site's page are the site's business; what the page is, is ours.
        if (!isMainFrame)
            return true;
        const bool refused = !onSite(url);
        if (refused)
            qCWarning(webLog, "refused to leave the site for %s (navigation type %d)",
                      loggable(url).constData(), int(type));
        // A redirect refused ends the load under way, which is then told as failed: the
        // program may be waiting for it.
        m_refused = refused && type != NavigationTypeRedirect;
        return !refused;
    }

    void javaScriptAlert(const QUrl &securityOrigin, const QString &text) override {
        if (!onSite(securityOrigin)) {
            qCWarning(webLog, "refused an alert of %s",
                      securityOrigin.isEmpty() ? "an opaque origin"
                                               : loggable(securityOrigin).constData());
            return;
        }
        Q_EMIT m_browser->pageAlert(text);
    }

private:
    WebEngineBrowser *m_browser;
    QUrl m_site;
    bool m_refused = false;
};

} // namespace

WebEngineBrowser::WebEngineBrowser(QObject *parent)
    : BrowserControl(parent)
    , m_profile(new QWebEngineProfile(this)) // no storage name: off the record
    , m_page(new SitePage(m_profile, this)) {
    // The engine reports every finished load, failed or not; see the class comment.
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (static_cast<SitePage *>(m_page)->takeRefusal() && !ok)
            return;
        if (!ok)
            qCWarning(webLog, "the page %s did not load", loggable(m_page->url()).constData());
        pageFinished();
    });
}

WebEngineBrowser::~WebEngineBrowser() {
    m_alive.reset();
    // The page goes before its profile, as the engine requires.
    delete m_page;
}

void WebEngineBrowser::shareCookiesWith(QNetworkCookieJar *jar) {
    QWebEngineCookieStore *store = m_profile->cookieStore();
    connect(store, &QWebEngineCookieStore::cookieAdded, jar, [jar](const QNetworkCookie &cookie) {
        if (!jar->updateCookie(cookie))
            jar->insertCookie(cookie);
    });
    connect(store, &QWebEngineCookieStore::cookieRemoved, jar,
            [jar](const QNetworkCookie &cookie) { jar->deleteCookie(cookie); });
    store->loadAllCookies();
}

QByteArray WebEngineBrowser::userAgent() const {
    return m_profile->httpUserAgent().toUtf8();
}

void WebEngineBrowser::navigate(const QString &address) {
    const QUrl url(address);
    static_cast<SitePage *>(m_page)->setSite(url);
    m_page->load(url);
    // Only a page that has begun to load can be made visible.
    m_page->setVisible(true);
}

void WebEngineBrowser::setElementValue(const QString &id, const QString &value, Done done) {
    const QString script = u"(function (a) {"
                           " var e = document.getElementById(a[0]);"
                           " if (!e) return false;"
                           " e.value = a[1];"
                           " return true; })(%1)"_s.arg(jsonArguments({id, value}));
    run(script, [id, done = std::move(done)](const QVariant &result) {
        if (!isTrue(result))
            qCWarning(webLog, "the page has no input %s", qUtf8Printable(id));
        done(isTrue(result));
    });
}

void WebEngineBrowser::execScript(const QString &code, Done done) {
    // The code stands on lines of its own, so a trailing comment in it cannot swallow the
    // wrapper. Only an exception counts as failure: a script that submits a form may leave
    // its page before the engine hands back its result.
    const QString script = u"(function () { try {\n"_s + code +
                           u"\n; return true; } catch (e) { return false; } })()"_s;
    run(script, [done = std::move(done)](const QVariant &result) {
        if (isFalse(result))
            qCWarning(webLog, "the page's script failed");
        done(!isFalse(result));
    });
}

void WebEngineBrowser::run(const QString &script, std::function<void(const QVariant &)> callback) {
    m_page->runJavaScript(script, [alive = std::weak_ptr<bool>(m_alive),
                                   callback = std::move(callback)](const QVariant &result) {
        if (!alive.expired())
            callback(result);
    });
}

void WebEngineBrowser::pageFinished() {
    const QUrl address = m_page->url();
    // Every finished page is told, so that the window never waits; one of another origin (a
    // navigation the page slipped past the check) with no markup, so it is never imported.
    const bool onSite = static_cast<SitePage *>(m_page)->onSite(address);
    if (!onSite)
        qCWarning(webLog, "not reading %s, a page of another origin",
                  loggable(address).constData());
    run(MarkupScript, [this, address, onSite](const QVariant &result) {
        const QVariantList texts = onSite ? result.toList() : QVariantList();
        QString documentMarkup;
        std::optional<QString> thirdTable;
        if (texts.size() == 2) {
            documentMarkup = normaliseTagNames(texts[0].toString());
            if (texts[1].metaType().id() == QMetaType::QString)
                thirdTable = normaliseTagNames(texts[1].toString());
        }
        // A handler may open a modal message and, in its event loop, the window may go away
        // with this control.
        const std::weak_ptr<bool> alive = m_alive;
        Q_EMIT DownloadComplete(documentMarkup, thirdTable);
        if (alive.expired())
            return;
        Q_EMIT DocumentComplete(address);
        if (alive.expired())
            return;
        Q_EMIT StatusTextChange(FinishedStatus);
    });
}

} // namespace itinerary
