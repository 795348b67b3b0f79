#include "webimport/ui/VerificationQuery.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "print/PrintRequest.h"
#include "print/net/NetworkPictureLoader.h"
#include "sheet/TextRules.h"
#include "webimport/QueryChecks.h"
#include "webimport/ResultPageParser.h"
#include "webimport/ui/BrowserControl.h"
#include "webimport/ui/BrowserEngine.h"
#include "webimport/ui/BrowserEngineLoader.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <array>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
const QString BrowserMissingMessage = u"网页浏览组件无法加载，不能从验真网站导入：\n%1"_s;
const QString PageAlertTitle = u"来自网页的消息"_s;
} // namespace

VerificationQuery::VerificationQuery(QueryBar bar, SiteAddresses site, Itinerary &sheet,
                                     NetworkPictureLoader &loader, Messages &messages,
                                     const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
    , m_site(std::move(site))
    , m_sheet(sheet)
    , m_loader(loader)
    , m_messages(messages)
    , m_clock(clock) {}

VerificationQuery::~VerificationQuery() = default;

void VerificationQuery::useBrowser(BrowserControl *browser) {
    m_browser = browser;
    Q_EMIT browserReady();
}

// The page is never shown and is no part of the window: no native window is added or
// replaced, and the keyboard focus never goes into a page nobody sees. A build without a site
// address has no browser.
void VerificationQuery::createBrowser() {
    if (m_browser != nullptr || m_site.homeUrl.isEmpty())
        return;
    const Result<BrowserEngine *> engine = loadBrowserEngine(m_site.browserEngineFile);
    if (!engine) {
        m_messages.showMessage(BrowserMissingMessage.arg(engine.error()));
        return;
    }
    // The captcha picture must be fetched in the page's session, as the page's own browser.
    std::unique_ptr<BrowserControl> web = engine.value()->createBrowser(m_loader.cookieJar());
    m_loader.setUserAgent(web->userAgent());
    m_browser = web.get();
    m_ownBrowser = std::move(web);
    Q_EMIT browserReady();
    if (m_siteOpened)
        navigateToSite();
}

void VerificationQuery::openSite() {
    m_siteOpened = true;
    navigateToSite();
}

void VerificationQuery::navigateToSite() {
    if (m_browser != nullptr && !m_site.homeUrl.isEmpty())
        m_browser->navigate(m_site.homeUrl);
}

// Shown at its own size. When none can be had the picture area stays where it was, empty,
// and a click on it tries again.
void VerificationQuery::refreshCaptcha() {
    m_loader.loadPicture(m_site.captchaUrl + requestTimeStamp(m_clock.now()), this,
                         [this](const QByteArray &picture) { showCaptcha(picture); });
}

void VerificationQuery::showCaptcha(const QByteArray &picture) {
    QPixmap pixmap;
    pixmap.loadFromData(picture);
    m_bar.captchaPicture->setPixmap(pixmap);
    if (!pixmap.isNull())
        m_bar.captchaPicture->resize(pixmap.size());
}

// "导入" stays disabled until the next page completes, or until a rejected input has been
// reported.
void VerificationQuery::submit() {
    m_bar.submit->setEnabled(false);
    m_bar.ticketNumber->setText(cleanTicketNumber(m_bar.ticketNumber->text()));
    if (!ticketNumberAccepted(m_bar.ticketNumber->text())) {
        m_messages.showMessage(TicketNumberLengthMessage.toString());
        m_bar.submit->setEnabled(true);
        return;
    }
    m_bar.passengerName->setText(trimBlanks(m_bar.passengerName->text()));
    m_bar.captcha->setText(trimBlanks(m_bar.captcha->text()));
    if (!captchaAccepted(m_bar.captcha->text())) {
        m_messages.showMessage(CaptchaLengthMessage.toString());
        m_bar.submit->setEnabled(true);
        return;
    }
    fillQueryPage(0);
}

// The page answers asynchronously, so each step starts the next one when it has succeeded:
// the three inputs in order, each read from its box at that moment, then the script.
void VerificationQuery::fillQueryPage(int step) {
    if (m_browser == nullptr) {
        queryPageNotReady();
        return;
    }
    const std::array<std::pair<QStringView, QLineEdit *>, 3> inputs{{
        {TicketNumberInputId, m_bar.ticketNumber},
        {PassengerNameInputId, m_bar.passengerName},
        {CaptchaInputId, m_bar.captcha},
    }};
    if (step < int(inputs.size())) {
        const auto &[id, box] = inputs[step];
        m_browser->setElementValue(id.toString(), box->text(), [this, step](bool ok) {
            if (ok)
                fillQueryPage(step + 1);
            else
                queryPageNotReady();
        });
        return;
    }
    m_browser->execScript(QueryScript.toString(), [this](bool ok) {
        if (!ok)
            queryPageNotReady();
    });
}

// The page shown is not the site's query page (an error page, a page without the form, a
// failing script). The operator is told and may try again; the start page is loaded again
// so that the next try finds the query form and a fresh captcha.
void VerificationQuery::queryPageNotReady() {
    m_messages.showMessage(QueryPageNotReadyMessage.toString());
    m_bar.submit->setEnabled(true);
    navigateToSite();
}

// Every completed page, whatever it is: "导入" becomes usable, a new captcha is asked for, and
// the result page import is allowed from now on.
void VerificationQuery::documentComplete() {
    m_bar.submit->setEnabled(true);
    refreshCaptcha();
    m_pageReady = true;
}

void VerificationQuery::statusTextChanged(const QString &text) {
    if (text != u"完成"_s)
        return;
    m_pageReady = true;
    m_bar.submit->setEnabled(true);
}

void VerificationQuery::downloadComplete(const QString &documentMarkup,
                                         const std::optional<QString> &thirdTableInnerMarkup) {
    importResultPage(m_pageReady, documentMarkup, thirdTableInnerMarkup, m_sheet, m_messages);
}

// In a box titled as a browser titles a page's message; the page's script waits until it is
// closed.
void VerificationQuery::showPageAlert(const QString &text) {
    m_messages.showMessage(text, PageAlertTitle);
}

} // namespace itinerary
