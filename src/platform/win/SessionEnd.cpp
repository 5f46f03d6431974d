#include "platform/SessionEnd.h"

// Windows ends a program through its session manager alone.
SessionEnd::SessionEnd(QObject* parent) : QObject(parent) {}

SessionEnd::~SessionEnd() = default;

// Qt allows a question here, but Windows ends a program that holds up the end of
// the session with one.
bool SessionEnd::mayAsk(QSessionManager&)
{
    return false;
}
