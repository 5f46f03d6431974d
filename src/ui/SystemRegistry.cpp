#include "ui/SystemRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cstring>

namespace {
// Paths handed to the About box may be written the Windows way.
QString toLocalPath(const QString& path)
{
    QString local = path;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return local;
}

QString installedTool()
{
    for (const QString& name : SystemRegistry::toolNames()) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}
} // namespace

QStringList SystemRegistry::toolNames()
{
    return {QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
            QStringLiteral("hardinfo2"), QStringLiteral("hardinfo")};
}

long SystemRegistry::openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                             Key* opened)
{
    Q_UNUSED(options);
    Q_UNUSED(access); // nothing here is protected, so every right is granted
    // Registry key names ignore letter case.
    if (root != LocalMachine ||
        QString::fromLocal8Bit(path).compare(
            QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), Qt::CaseInsensitive) != 0)
        return FileNotFound;
    const QString tool = installedTool();
    if (tool.isEmpty())
        return FileNotFound;
    const Key handle = m_nextHandle++;
    m_openKeys.insert(handle, tool);
    *opened = handle;
    return Success;
}

long SystemRegistry::queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                                quint32* size)
{
    const auto open = m_openKeys.constFind(key);
    if (open == m_openKeys.constEnd())
        return InvalidHandle;
    if (QString::fromLocal8Bit(name).compare(QStringLiteral("PATH"), Qt::CaseInsensitive) != 0)
        return FileNotFound;
    // Stored the way text values are, with their terminating zero.
    QByteArray value = open->toLocal8Bit();
    value.append('\0');
    const auto needed = static_cast<quint32>(value.size());
    if (needed > *size) {
        *size = needed;
        return MoreData;
    }
    std::memcpy(data, value.constData(), needed);
    *type = TextValue;
    *size = needed;
    return Success;
}

long SystemRegistry::closeKey(Key key)
{
    return m_openKeys.remove(key) ? Success : InvalidHandle;
}

QString SystemRegistry::findFile(const QString& path)
{
    // File names match without regard to letter case, as on the systems
    // whose paths the registry holds.
    const QFileInfo wanted(toLocalPath(path));
    const QStringList matches =
        wanted.dir().entryList({wanted.fileName()}, QDir::Files, QDir::Name);
    return matches.isEmpty() ? QString() : matches.first();
}

bool SystemRegistry::startProgram(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QProcess::startDetached(toLocalPath(path), {});
}
