#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace itinerary {

class BrowserControl;
class Clock;
class Itinerary;
class Messages;
class NetworkPictureLoader;

// The window's query bar, which the query reads and writes.
struct QueryBar {
    QLineEdit *ticketNumber = nullptr;  // "票号"
    QLineEdit *passengerName = nullptr; // "姓名"
    QLineEdit *captcha = nullptr;       // "验证码"
    QLabel *captchaPicture = nullptr;   // sizes itself to its picture
    QPushButton *submit = nullptr;      // "导入"
};

// Where the verification site is: its start page, the captcha servlet, the browser engine
// module that drives it. No start page: no site, and no browser is made.
struct SiteAddresses {
    QString homeUrl;
    QString captchaUrl;
    QString browserEngineFile;
};

// The verification query of the window: the site's page, driven by a browser control nobody
// sees, with "导入" usable once a page has completed; each completed page brings a fresh
// captcha picture (fetched in the page's session, asynchronously) and allows the result
// page import; "导入" checks the typed query and puts it into the page.
class VerificationQuery final : public QObject {
    Q_OBJECT

public:
    VerificationQuery(QueryBar bar, SiteAddresses site, Itinerary &sheet,
                      NetworkPictureLoader &loader, Messages &messages, const Clock &clock,
                      QObject *parent = nullptr);
    ~VerificationQuery() override;

    // A browser control of the caller's (a test's), used instead of the engine's.
    void useBrowser(BrowserControl *browser);
    // The engine's control, loaded from its module (now that the window is up); without the
    // module the operator is told, and the rest of the program works.
    void createBrowser();
    BrowserControl *browser() const { return m_browser; }
    // Set once a page of the site has completed; the result page import waits for it.
    bool pageReady() const { return m_pageReady; }

    // The last step of start-up: the start page is loaded, at once when the browser exists,
    // otherwise as soon as it has been made.
    void openSite();
    // "导入": checks what the operator typed, writes the cleaned texts back, and on success
    // puts them into the site's query form and runs its script.
    void submit();
    // A fresh captcha picture for the page's session.
    void refreshCaptcha();

    // The browser's notifications, as the window hands them on.
    void documentComplete();
    void statusTextChanged(const QString &text);
    void downloadComplete(const QString &documentMarkup,
                          const std::optional<QString> &thirdTableInnerMarkup);
    void showPageAlert(const QString &text);

Q_SIGNALS:
    // A browser control exists now (the engine's is made after the window's first paint).
    void browserReady();

private:
    void navigateToSite();
    void fillQueryPage(int step);
    void queryPageNotReady();
    void showCaptcha(const QByteArray &picture);

    QueryBar m_bar;
    SiteAddresses m_site;
    Itinerary &m_sheet;
    NetworkPictureLoader &m_loader;
    Messages &m_messages;
    const Clock &m_clock;
    bool m_siteOpened = false;
    bool m_pageReady = false;
    BrowserControl *m_browser = nullptr;
    // Last, so that it goes first: its pending page callbacks must not outlive the query.
    std::unique_ptr<BrowserControl> m_ownBrowser;
};

} // namespace itinerary
