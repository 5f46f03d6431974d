#include "ui/SystemRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>

namespace {
// Paths handed to the About box may be written the Windows way.
QString toLocalPath(const QString& path)
{
    QString local = path;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return local;
}

QString folded(const QByteArray& text)
{
    return QString::fromLocal8Bit(text).toLower();
}

// The rights to set a value, make a subkey or a link: the machine's keys are not
// the program's to change.
constexpr quint32 kWriteRights = 0x26;
} // namespace

SystemRegistry::SystemRegistry(const Values& values) : m_values(Values())
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        m_values->insert(it.key().toLower(), it.value());
}

QStringList SystemRegistry::toolNames()
{
    return {QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
            QStringLiteral("hardinfo2"), QStringLiteral("hardinfo")};
}

const SystemRegistry::Values& SystemRegistry::values()
{
    if (!m_values) {
        m_values = Values();
        for (const QString& name : toolNames()) {
            const QString found = QStandardPaths::findExecutable(name);
            if (!found.isEmpty()) {
                m_values->insert(QStringLiteral("software\\microsoft\\shared tools\\msinfo|path"),
                                 {TextValue, found.toLocal8Bit() + '\0'});
                break;
            }
        }
    }
    return *m_values;
}

long SystemRegistry::openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                             Key* opened)
{
    Q_UNUSED(options);
    if (access & kWriteRights)
        return AccessDenied;
    const QString key = folded(path) + QLatin1Char('|');
    const Values& all = values();
    const bool present = std::any_of(all.keyBegin(), all.keyEnd(),
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
    const auto value = values().constFind(*open + folded(name));
    if (value == values().constEnd())
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
