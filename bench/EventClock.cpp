#include "EventClock.h"

#include "BenchSupport.h"

bool EventClock::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == m_type)
        m_lastNs = bench::monotonicNs();
    return QObject::eventFilter(watched, event);
}
