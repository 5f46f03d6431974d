#pragma once

#include <QObject>

class QSessionManager;

// How the system ends the program with its session, beyond the session manager's
// own request: on Unix SIGTERM and SIGHUP (the session ending, the terminal
// closing), which this turns into a signal on the event loop.
class SessionEnd : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SessionEnd)
public:
    // One at a time: the handlers are the process's own.
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

    // Whether the user may be asked before the session ends. Qt may allow a question
    // where the system still ends a program that holds up the end with one, and its
    // finds would go with it.
    static bool mayAsk(QSessionManager& session);

signals:
    // The system asks the program to end now, without a question.
    void terminationRequested();
};
