#pragma once

#include <QObject>

// Linked into a program beside its own main(), it watches the first top-level
// window: prints when the window was first exposed and when its first frame was
// painted (CLOCK_REALTIME microseconds), then its peak resident memory half a
// second later, and ends the program.
class FirstFrame : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void framePainted();
    void report();

    long long m_exposedUs = 0;
    long long m_paintedUs = 0;
    bool m_paintSeen = false;
};
