#pragma once

#include <QEvent>
#include <QObject>

#include <cstdint>

// Notes when a watched object receives an event of one type, just before the
// object itself handles it.
class EventClock : public QObject
{
public:
    explicit EventClock(QEvent::Type type) : m_type(type) {}

    void watch(QObject* target) { target->installEventFilter(this); }
    // CLOCK_MONOTONIC time of the latest such event, 0 before the first.
    std::int64_t lastNs() const { return m_lastNs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QEvent::Type m_type;
    std::int64_t m_lastNs = 0;
};
