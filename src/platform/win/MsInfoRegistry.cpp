#include "platform/win/MsInfoRegistry.h"

#include <QByteArray>
#include <QScopeGuard>

#include <algorithm>
#include <windows.h>

namespace {

constexpr DWORD kValueBufferSize = 1024;

// The first plain file matching the path, or an empty text.
QString findFile(const QString& path)
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

// Reads one value of a key opened for reading only: asking for more would turn away
// every user without write rights to it. A text value comes as it is, without a
// closing zero; a 32-bit number as "&h" and its bytes in hexadecimal, the most
// significant first; any other kind leaves KeyVal as it was. False, with KeyVal
// empty, for a key or value that is missing, empty or longer than 1024 bytes.
bool GetKeyValue(HKEY KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(KeyRoot, KeyName.toLocal8Bit().constData(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    const auto closeKey = qScopeGuard([key] { RegCloseKey(key); });

    QByteArray buffer(kValueBufferSize, '\0');
    DWORD type = 0;
    DWORD size = kValueBufferSize;
    // A value longer than the buffer fails here too, as ERROR_MORE_DATA.
    if (RegQueryValueExA(key, SubKeyRef.toLocal8Bit().constData(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        size == 0) {
        KeyVal.clear();
        return false;
    }
    buffer.truncate(static_cast<qsizetype>(size));
    if (buffer.endsWith('\0'))
        buffer.chop(1);

    switch (type) {
    case REG_SZ:
        KeyVal = QString::fromLocal8Bit(buffer);
        break;
    case REG_DWORD: // stored least significant byte first; written most significant first
        std::reverse(buffer.begin(), buffer.end());
        KeyVal = QStringLiteral("&h") + QString::fromLatin1(buffer.toHex().toUpper());
        break;
    default:
        break; // a kind of value the program has no use for
    }
    return true;
}

} // namespace

QString MsInfoRegistry::toolPath()
{
    const QString toolFile = QStringLiteral("\\MSINFO32.EXE");
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path))
        return path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE,
                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), path) &&
        !findFile(path + toolFile).isEmpty())
        return path + toolFile;
    return {};
}
