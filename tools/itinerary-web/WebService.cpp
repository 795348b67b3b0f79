#include "WebService.h"

#include "CounterPageFiles.h"
#include "WebLog.h"
#include "WebSecrets.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace itinerary::web {

Q_LOGGING_CATEGORY(webLog, "itinerary.web", QtInfoMsg)

namespace {

// Requests waiting for a thread beyond this are answered 503 at once.
constexpr int MaxWaitingRequests = 1024;
// The database is consulted at the same time by this many requests; the rest wait.
constexpr int WorkerThreads = 6;
const QByteArray SessionCookie = "itinerary_session";

HttpLimits serverLimits(const WebPolicy &policy) {
    HttpLimits limits;
    limits.maxConnectionsPerAddress = policy.connectionsPerAddress;
    // The proxy's connections all come from one address: it may hold all of them.
    limits.maxConnections = std::max(limits.maxConnections, policy.connectionsPerAddress);
    limits.methods = {"GET", "POST"};
    // A larger body is refused 413 by the server itself.
    limits.maxBodyBytes = MaxApiBodyBytes;
    return limits;
}

QByteArray header(const HttpRequest &request, QByteArrayView name) {
    const QByteArrayList values = request.headerValues(name);
    return values.isEmpty() ? QByteArray() : values.constFirst().trimmed();
}

// "ADDR:PORT" or "[ADDR]:PORT" without the port and brackets.
QString peerAddress(const QString &peer) {
    QString address = peer.left(peer.lastIndexOf(u':'));
    if (address.startsWith(u'[') && address.endsWith(u']'))
        address = address.mid(1, address.size() - 2);
    return address;
}

// The client a proxy on this machine names: X-Real-IP, else the last address of
// X-Forwarded-For (the one the proxy itself appended; those before it are the client's own
// say). What is no address leaves the peer, so that a header cannot make every client one.
QString proxiedClient(const HttpRequest &request, const QString &peer) {
    QByteArray named = header(request, "X-Real-IP");
    if (named.isEmpty()) {
        const QByteArrayList forwarded = request.headerValues("X-Forwarded-For");
        if (!forwarded.isEmpty())
            named = forwarded.constLast().split(',').constLast().trimmed();
    }
    const QHostAddress address(QString::fromLatin1(named));
    return address.isNull() ? peer : address.toString();
}

QByteArray sessionToken(const HttpRequest &request) {
    for (const QByteArray &line : request.headerValues("Cookie")) {
        for (const QByteArray &pair : line.split(';')) {
            const QByteArray trimmed = pair.trimmed();
            if (trimmed.startsWith(SessionCookie + '='))
                return trimmed.mid(SessionCookie.size() + 1);
        }
    }
    return QByteArray();
}

bool hasRole(const QString &role, Access access) {
    switch (access) {
    case Access::Public:
    case Access::Session:
        return true;
    case Access::Supervisor:
        return role == u"supervisor" || role == u"admin";
    case Access::Admin:
        return role == u"admin";
    }
    return false;
}

} // namespace

WebService::WebService(const CounterCore &core, const DatabaseAddress &database,
                       const WebPolicy &policy)
    : m_context{core, database, policy}
    , m_http(
          serverLimits(policy),
          [this](HttpRequest request, HttpResponder responder) { handle(request, responder); },
          webLog) {
    // On every answer, the refusals the HTTP server makes by itself included.
    m_http.setEveryAnswerHeaders(
        {{"Cache-Control", "no-store"},
         {"Content-Security-Policy", "default-src 'self'; frame-ancestors 'none'"},
         {"X-Content-Type-Options", "nosniff"}});
    for (const auto &group : {sessionEndpoints(), sheetEndpoints(), printEndpoints(),
                              journalEndpoints(), adminEndpoints()})
        m_endpoints += group;
    m_pool.setMaxThreadCount(WorkerThreads);
    // A thread keeps its database connection: never let an idle one go.
    m_pool.setExpiryTimeout(-1);
}

WebService::~WebService() {
    m_http.stop();
    m_pool.clear();
    m_pool.waitForDone();
}

bool WebService::listen(const QHostAddress &address, quint16 port) {
    return m_http.listen(address, port);
}

void WebService::handle(const HttpRequest &request, const HttpResponder &responder) {
    if (m_waiting.load() >= MaxWaitingRequests) {
        responder.send(refusalAnswer(ApiRefusal{503, u"服务器繁忙，请稍后再试"_s}));
        return;
    }
    ++m_waiting;
    m_pool.start([this, request, responder] {
        --m_waiting;
        responder.send(answer(request));
    });
}

HttpResponse WebService::answer(const HttpRequest &request) {
    const QString peer = peerAddress(request.peer);
    // What a proxy says of the client is believed only from a proxy on this machine.
    const bool fromProxy = QHostAddress(peer).isLoopback();
    const bool secure =
        fromProxy &&
        header(request, "X-Forwarded-Proto").compare("https", Qt::CaseInsensitive) == 0;
    const QString client = fromProxy ? proxiedClient(request, peer) : peer;

    // Another site's page may not use a counter's session.
    const QByteArrayList origins = request.headerValues("Origin");
    if (!origins.isEmpty()) {
        const QByteArray own = (secure ? "https://" : "http://") + header(request, "Host");
        if (origins.size() != 1 || origins.constFirst().trimmed() != own) {
            qCWarning(webLog, "refused a request from origin %s (%s)",
                      origins.constFirst().left(100).toPercentEncoding(":/").constData(),
                      qUtf8Printable(client));
            return refusalAnswer(ApiRefusal{403, refusal::BadRequest});
        }
    }
    const QByteArray path = request.path();
    const auto found =
        std::find_if(m_endpoints.cbegin(), m_endpoints.cend(), [&](const Endpoint &e) {
            return e.path == path && e.method == request.method;
        });
    if (found == m_endpoints.cend()) {
        // Outside the API: the counter page's own files.
        if (request.method == "GET") {
            if (std::optional<PageFile> file = counterPageFile(path))
                return HttpResponse{200, std::move(file->contentType), std::move(file->body), {}};
        }
        const bool otherMethod = std::any_of(m_endpoints.cbegin(), m_endpoints.cend(),
                                             [&](const Endpoint &e) { return e.path == path; });
        return otherMethod ? refusalAnswer(ApiRefusal{405, u"不支持此请求方法"_s})
                           : refusalAnswer(ApiRefusal{404, u"找不到此页面"_s});
    }
    ApiCall call(m_context, request, secure, client);
    return run(*found, call);
}

HttpResponse WebService::run(const Endpoint &endpoint, ApiCall &call) {
    try {
        checkSession(endpoint, call);
        return endpoint.run(call);
    } catch (const ApiRefusal &refused) {
        return refusalAnswer(refused);
    } catch (const StoreFailure &failure) {
        qCWarning(webLog, "database: %s", qUtf8Printable(failure.message));
        // The connection may be broken: the next request of this thread connects anew.
        WebStore::dropThisThread();
        return refusalAnswer(ApiRefusal{503, u"数据库暂不可用，请稍后再试"_s});
    }
}

void WebService::checkSession(const Endpoint &endpoint, ApiCall &call) {
    if (endpoint.access == Access::Public)
        return;
    const QByteArray token = sessionToken(call.request());
    if (token.isEmpty())
        throw ApiRefusal{401, refusal::NotLoggedIn};
    const QByteArray hash = tokenHash(token);
    WebStore &store = call.store();
    const std::optional<SessionRecord> session = store.session(hash);
    if (!session)
        throw ApiRefusal{401, refusal::Expired};
    const WebPolicy &policy = call.context().policy;
    const qint64 now = call.nowMs();
    const std::optional<WebUser> user = store.user(session->userName);
    if (!user || now - session->lastSeenMs > policy.sessionIdle.count() ||
        now - session->createdMs > policy.sessionMaximum.count()) {
        store.deleteSession(hash);
        throw ApiRefusal{401, refusal::Expired};
    }
    // The idle clock restarts with each request; written at most every few seconds, not on
    // every request of a busy counter.
    const qint64 touchEvery = std::min<qint64>(10'000, policy.sessionIdle.count() / 10);
    if (now - session->lastSeenMs >= touchEvery)
        store.touchSession(hash, now);
    call.setUser(SessionUser{hash, user->name, user->role, session->csrfToken});
    if (!hasRole(user->role, endpoint.access))
        throw ApiRefusal{403, refusal::NoRight};
    // Every change carries the session's own token: a form of another site cannot know it.
    if (call.request().method == "POST" &&
        !sameSecret(header(call.request(), "X-CSRF-Token"), session->csrfToken))
        throw ApiRefusal{403, refusal::BadRequest};
}

} // namespace itinerary::web
