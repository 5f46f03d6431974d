#include "ui/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};
int g_socket[2] = {-1, -1}; // the handler writes into [0], the event loop reads [1]

extern "C" void onSignal(int signalNumber)
{
    const int saved = errno;
    const char number = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t wrote = ::write(g_socket[0], &number, 1);
    errno = saved;
}

void handle(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    // Without the socket the signals keep their default, ending the program at once.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_socket) != 0)
        return;
    m_notifier = new QSocketNotifier(g_socket[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char number = 0;
        if (::read(g_socket[1], &number, 1) == 1)
            emit received(number);
    });
    handle(onSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    handle(SIG_DFL);
    delete m_notifier;
    for (int& end : g_socket)
        ::close(std::exchange(end, -1));
}
