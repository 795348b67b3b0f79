#include "render/EmbeddedRenderService.h"

#include "render/RenderService.h"

#include <QGuiApplication>

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
    auto service = std::make_unique<RenderService>(m_layout, m_limits);
    if (!service->listen(QHostAddress::LocalHost, 0)) {
        m_error = service->errorString();
        return QUrl();
    }
    m_baseUrl = service->baseUrl();
    m_service = std::move(service);
    return m_baseUrl;
}

void EmbeddedRenderService::stop() {
    m_service.reset();
    m_baseUrl.clear();
}

} // namespace itinerary
