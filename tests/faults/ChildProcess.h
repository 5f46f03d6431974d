#pragma once

#include <QByteArray>

#include <functional>
#include <optional>
#include <sys/types.h>

// A forked copy of the test that runs one piece of it, for what must not touch the
// test itself: giving up root, or being killed at a random moment. The child
// reports back through a pipe and ends with _exit, so nothing of the test's own
// teardown runs twice.
class ChildProcess
{
public:
    // The body writes its report with send(); the child ends when the body returns.
    using Body = std::function<void(int reportFd)>;

    explicit ChildProcess(const Body& body);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    static void send(int reportFd, const QByteArray& bytes);

    // Blocks until the child has reported at least this many bytes, or has ended.
    QByteArray waitForReport(qsizetype bytes);
    // Everything the child reported, once it ended on its own with status 0.
    std::optional<QByteArray> finish();
    // SIGKILL now; true when the child was still running and died of it.
    bool kill();

private:
    pid_t m_pid = -1;
    int m_report = -1;
    QByteArray m_received;
    int m_status = 0;
    bool m_reaped = false;

    void readAll();
    void reap();
};
