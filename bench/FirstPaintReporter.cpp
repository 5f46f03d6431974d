#include "FirstPaintReporter.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {

const std::int64_t kStartedNs = bench::monotonicNs();

void installReporter()
{
    qApp->installEventFilter(new FirstPaintReporter(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installReporter)

bool FirstPaintReporter::eventFilter(QObject* watched, QEvent* event)
{
    // A window gets its paint event before its children get theirs in the same
    // repaint, which ends by flushing the frame; a queued call runs after all that.
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow()) {
            qApp->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this, [this, widget] { report(widget); }, Qt::QueuedConnection);
        }
    }
    return false;
}

void FirstPaintReporter::report(QWidget* window)
{
    const std::int64_t painted = bench::monotonicNs();
    std::printf("main_ns=%lld painted_ns=%lld hwm_kb=%ld size=%dx%d\n",
                static_cast<long long>(kStartedNs), static_cast<long long>(painted),
                bench::peakResidentKb(getpid()), window->width(), window->height());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}
