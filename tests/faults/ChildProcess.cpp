#include "ChildProcess.h"

#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <limits>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::ChildProcess(const Body& body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        qFatal("pipe failed");
    m_pid = ::fork();
    if (m_pid < 0)
        qFatal("fork failed");
    if (m_pid == 0) {
        // A child that outlives a crashed test would go on writing for ever.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(channel[0]);
        body(channel[1]);
        ::_exit(0);
    }
    ::close(channel[1]);
    m_report = channel[0];
}

ChildProcess::~ChildProcess()
{
    if (!m_reaped)
        kill();
    if (m_report >= 0)
        ::close(m_report);
}

void ChildProcess::send(int reportFd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(reportFd, bytes.constData() + done, bytes.size() - done);
        if (wrote <= 0)
            ::_exit(3);
        done += wrote;
    }
}

QByteArray ChildProcess::waitForReport(qsizetype bytes)
{
    char buffer[256];
    while (m_received.size() < bytes) {
        const ssize_t got = ::read(m_report, buffer, sizeof buffer);
        if (got <= 0)
            break;
        m_received.append(buffer, got);
    }
    return m_received;
}

void ChildProcess::readAll()
{
    waitForReport(std::numeric_limits<qsizetype>::max());
}

void ChildProcess::reap()
{
    while (::waitpid(m_pid, &m_status, 0) < 0 && errno == EINTR) {
    }
    m_reaped = true;
}

std::optional<QByteArray> ChildProcess::finish()
{
    readAll();
    reap();
    if (!WIFEXITED(m_status) || WEXITSTATUS(m_status) != 0)
        return std::nullopt;
    return m_received;
}

bool ChildProcess::kill()
{
    ::kill(m_pid, SIGKILL);
    reap();
    return WIFSIGNALED(m_status) && WTERMSIG(m_status) == SIGKILL;
}
