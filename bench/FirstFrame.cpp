#include "FirstFrame.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace {

long long nowUs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec * 1'000'000LL + now.tv_nsec / 1000;
}

// VmHWM, the most resident memory the process has had.
QByteArray peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return "-1";
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmHWM:") + 6;
    return text.mid(at, text.indexOf('\n', at) - at).trimmed().split(' ').front();
}

void install()
{
    qApp->installEventFilter(new FirstFrame(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)

bool FirstFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Under X11 a window is first exposed once the server has mapped it.
    if (event->type() == QEvent::Expose && m_exposedUs == 0 && watched->isWindowType() &&
        static_cast<QWindow*>(watched)->isExposed())
        m_exposedUs = nowUs();
    // A window gets its paint event before its children get theirs in the same
    // repaint, which ends by flushing the frame; a queued call runs after all that.
    if (event->type() == QEvent::Paint && !m_paintSeen && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
        m_paintSeen = true;
        QMetaObject::invokeMethod(this, &FirstFrame::framePainted, Qt::QueuedConnection);
    }
    return false;
}

void FirstFrame::framePainted()
{
    m_paintedUs = nowUs();
    QTimer::singleShot(500, this, &FirstFrame::report);
}

void FirstFrame::report()
{
    std::printf("%lld %lld %s\n", m_exposedUs, m_paintedUs, peakResidentKb().constData());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}
