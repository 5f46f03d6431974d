#include "platform/SessionEnd.h"

#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};
int g_socket[2]; // the handler writes into [0], the event loop reads [1]
QSocketNotifier* g_notifier = nullptr;

// A signal handler may do next to nothing safely, so it only writes a byte into a
// socket, and the event loop reads it from there.
extern "C" void onSignal(int)
{
    const int saved = errno;
    [[maybe_unused]] const ssize_t wrote = ::write(g_socket[0], "", 1); // its one byte, a zero
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

SessionEnd::SessionEnd(QObject* parent) : QObject(parent)
{
    // Without the socket the signals keep their default, ending the program at once.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_socket) != 0)
        return;
    g_notifier = new QSocketNotifier(g_socket[1], QSocketNotifier::Read, this);
    connect(g_notifier, &QSocketNotifier::activated, this, [this] {
        char byte;
        if (::read(g_socket[1], &byte, 1) == 1)
            emit terminationRequested();
    });
    handle(onSignal);
}

SessionEnd::~SessionEnd()
{
    if (!g_notifier)
        return;
    handle(SIG_DFL);
    delete std::exchange(g_notifier, nullptr);
    for (int& end : g_socket)
        ::close(std::exchange(end, -1));
}

bool SessionEnd::mayAsk(QSessionManager& session)
{
    return session.allowsInteraction();
}
