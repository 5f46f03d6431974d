#include "ui/WindowsRegistry.h"

#include <string>
#include <windows.h>

namespace {

// A key handle is 32 bits wide even on 64-bit Windows, which sign-extends the
// predefined roots (HKEY_LOCAL_MACHINE is 0x80000002) and keeps every other handle
// within 32 bits, so a Key carries any of them.
HKEY toHandle(Registry::Key key)
{
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
}

} // namespace

long WindowsRegistry::openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                              Key* opened)
{
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(toHandle(root), path.constData(), options, access, &key);
    if (result == ERROR_SUCCESS)
        *opened = static_cast<Key>(reinterpret_cast<ULONG_PTR>(key));
    return result;
}

long WindowsRegistry::queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                                 quint32* size)
{
    DWORD valueType = 0;
    DWORD valueSize = *size;
    const LONG result = RegQueryValueExA(toHandle(key), name.constData(), nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(data), &valueSize);
    if (result == ERROR_SUCCESS)
        *type = valueType;
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA)
        *size = valueSize;
    return result;
}

long WindowsRegistry::closeKey(Key key)
{
    return RegCloseKey(toHandle(key));
}

QString WindowsRegistry::findFile(const QString& path)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(reinterpret_cast<LPCWSTR>(path.utf16()), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    QString name;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            name = QString::fromWCharArray(found.cFileName);
    } while (name.isEmpty() && FindNextFileW(search, &found));
    FindClose(search);
    return name;
}

// A normal window with the focus, as the user would start the tool from its icon.
bool WindowsRegistry::startProgram(const QString& path)
{
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
