#include "webimport/ui/BrowserEngineLoader.h"

#include "webimport/ui/BrowserEngine.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QPluginLoader>

// Qt GUI keeps one OpenGL context that others share; Qt exports these two for the browser
// engine, which declares them as they are declared here.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
QT_END_NAMESPACE

namespace itinerary {

namespace {

// The engine expects the shared context to exist when it starts; normally the application
// object makes one at construction when asked to, which loads the OpenGL driver before the
// window can appear (a few hundred milliseconds under X). The engine's pages are never shown,
// so they need no OpenGL: a context that is never created makes the engine draw them in
// software, and costs nothing.
void provideShareContext() {
    if (qt_gl_global_share_context() != nullptr)
        return;
    qt_gl_set_global_share_context(new QOpenGLContext);
    qAddPostRoutine([] {
        QOpenGLContext *context = qt_gl_global_share_context();
        qt_gl_set_global_share_context(nullptr);
        delete context;
    });
}

} // namespace

Result<BrowserEngine *> loadBrowserEngine(const QString &path) {
    provideShareContext();
    QPluginLoader loader(path);
    QObject *root = loader.instance();
    auto *engine = qobject_cast<BrowserEngine *>(root);
    if (engine == nullptr) {
        return Result<BrowserEngine *>::failure(
            root == nullptr ? loader.errorString()
                            : QStringLiteral("%1 is not the browser engine").arg(path));
    }
    return engine;
}

} // namespace itinerary
