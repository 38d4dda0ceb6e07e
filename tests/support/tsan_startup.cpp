// Linked into every test of a ThreadSanitizer build (cmake/TrivoHelpers.cmake). Qt's thread
// pool passes work between its threads under a lock the sanitizer cannot see (Qt is not
// instrumented), and its threads have no symbols to suppress by; one pool thread leaves
// nothing to pass between them. Our own threads are not affected.
#if defined(__SANITIZE_THREAD__)
#include <QCoreApplication>
#include <QThreadPool>

namespace {

void onePoolThread()
{
    QThreadPool::globalInstance()->setMaxThreadCount(1);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(onePoolThread)
#endif
