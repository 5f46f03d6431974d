#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGHUP (the session ending, the terminal closing) as a Qt signal on the
// event loop. A signal handler may do next to nothing safely, so it only writes the
// signal's number into a socket, and the event loop reads it from there.
class TerminationSignals : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)
public:
    // One at a time: the handlers are the process's own.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    QSocketNotifier* m_notifier = nullptr;
};
