#include "platform/SystemInformation.h"

#include "platform/win/MsInfoRegistry.h"

#include <string>
#include <windows.h>

// A normal window with the focus, as the user would start the tool from its icon.
bool SystemInformation::start()
{
    const QString path = MsInfoRegistry::toolPath();
    if (path.isEmpty())
        return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + path.toStdWString() + L"\"";
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    AllowSetForegroundWindow(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
