#include "ui/SystemRegistry.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>

namespace {
// Paths handed to the About box may be written the Windows way.
QString toLocalPath(const QString& path)
{
    return QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString folded(const QByteArray& text)
{
    return QString::fromLocal8Bit(text).toLower();
}
} // namespace

SystemRegistry::SystemRegistry()
{
    // The tools looked for, best first.
    for (const char* name : {"kinfocenter", "gnome-system-monitor", "hardinfo2", "hardinfo"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty()) {
            m_values.insert(QStringLiteral("software\\microsoft\\shared tools\\msinfo|path"),
                            {TextValue, found.toLocal8Bit() + '\0'});
            break;
        }
    }
}

SystemRegistry::SystemRegistry(const Values& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        m_values.insert(it.key().toLower(), it.value());
}

// Any rights asked for are granted: nothing the program does could change a key.
long SystemRegistry::openKey(Key root, const QByteArray& path, quint32, quint32, Key* opened)
{
    const QString key = folded(path) + QLatin1Char('|');
    const bool present = std::any_of(m_values.keyBegin(), m_values.keyEnd(),
                                     [&key](const QString& name) { return name.startsWith(key); });
    if (root != LocalMachine || !present)
        return FileNotFound;
    m_openKeys.insert(m_nextHandle, key);
    *opened = m_nextHandle++;
    return Success;
}

long SystemRegistry::queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                                quint32* size)
{
    const auto open = m_openKeys.constFind(key);
    if (open == m_openKeys.constEnd())
        return InvalidHandle;
    const auto value = m_values.constFind(*open + folded(name));
    if (value == m_values.constEnd())
        return FileNotFound;
    const auto needed = static_cast<quint32>(value->data.size());
    if (needed > *size) {
        *size = needed;
        return MoreData;
    }
    std::memcpy(data, value->data.constData(), needed);
    *type = value->type;
    *size = needed;
    return Success;
}

long SystemRegistry::closeKey(Key key)
{
    return m_openKeys.remove(key) ? Success : InvalidHandle;
}

QString SystemRegistry::findFile(const QString& path)
{
    const QFileInfo file(toLocalPath(path));
    return file.isFile() ? file.fileName() : QString();
}

bool SystemRegistry::startProgram(const QString& path)
{
    return !path.isEmpty() && QProcess::startDetached(toLocalPath(path), {});
}
