#include "render/EmbeddedRenderService.h"

#include "render/RenderService.h"

#include <QGuiApplication>
#include <QThread>

using namespace Qt::StringLiterals;

namespace itinerary {

EmbeddedRenderService::EmbeddedRenderService(ReceiptLayout layout, ServiceLimits limits)
    : m_layout(std::move(layout))
    , m_limits(limits) {}

EmbeddedRenderService::~EmbeddedRenderService() {
    stop();
}

QUrl EmbeddedRenderService::start() {
    if (m_service)
        return m_baseUrl;
    m_error.clear();
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        m_error = u"the rendering service needs a QGuiApplication for its fonts"_s;
        return QUrl();
    }
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(u"render-service"_s);
    m_anchor = new QObject;
    m_anchor->moveToThread(m_thread.get());
    m_thread->start();
    // The service and its sockets are created in the service thread, so their events are
    // handled there and not by the owner's event loop.
    QMetaObject::invokeMethod(
        m_anchor,
        [this] {
            auto service = std::make_unique<RenderService>(m_layout, m_limits);
            if (service->listen(QHostAddress::LocalHost, 0)) {
                m_baseUrl = service->baseUrl();
                m_service = service.release();
            } else {
                m_error = service->errorString();
            }
        },
        Qt::BlockingQueuedConnection);
    if (!m_service) {
        stopThread();
        return QUrl();
    }
    return m_baseUrl;
}

void EmbeddedRenderService::stop() {
    if (!m_thread)
        return;
    if (m_service) {
        QMetaObject::invokeMethod(
            m_anchor,
            [this] {
                delete m_service;
                m_service = nullptr;
            },
            Qt::BlockingQueuedConnection);
    }
    stopThread();
    m_baseUrl.clear();
}

void EmbeddedRenderService::stopThread() {
    m_thread->quit();
    m_thread->wait();
    delete m_anchor;
    m_anchor = nullptr;
    m_thread.reset();
}

} // namespace itinerary
