#pragma once

#include "ui/Registry.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <cstring>

// An in-memory registry as a user without administrator rights sees it:
// keys below the local-machine root open for reading only, so asking for
// more than read rights fails. It records the look-ups and starts asked of it.
class FakeRegistry : public Registry
{
public:
    struct Value
    {
        quint32 type;
        QByteArray bytes;
    };

    void addKey(const QByteArray& path) { m_keys[path.toLower()]; }
    void addValue(const QByteArray& path, const QByteArray& name, quint32 type,
                  const QByteArray& bytes)
    {
        m_keys[path.toLower()].insert(name.toLower(), {type, bytes});
    }
    void addText(const QByteArray& path, const QByteArray& name, const QByteArray& text)
    {
        addValue(path, name, TextValue, text + '\0');
    }
    void addFile(const QString& path) { m_files.insert(path.toLower()); }
    void setStartFails(bool fails) { m_startFails = fails; }

    int keysLeftOpen() const { return int(m_open.size()); }

    int closesOfUnopenedKeys = 0;
    QStringList lookups;
    QStringList starts;

    long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                 Key* opened) override
    {
        constexpr quint32 writeRights = 0x0002 | 0x0004 | 0x0020;
        if (options != 0 || (access & writeRights))
            return AccessDenied;
        if (root != LocalMachine || !m_keys.contains(path.toLower()))
            return FileNotFound;
        const Key handle = m_nextHandle++;
        m_open.insert(handle, path.toLower());
        *opened = handle;
        return Success;
    }

    long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                    quint32* size) override
    {
        if (!m_open.contains(key))
            return InvalidHandle;
        const auto& values = m_keys[m_open[key]];
        const auto value = values.constFind(name.toLower());
        if (value == values.constEnd())
            return FileNotFound;
        const auto needed = quint32(value->bytes.size());
        if (needed > *size) {
            *size = needed;
            return MoreData;
        }
        std::memcpy(data, value->bytes.constData(), needed);
        *type = value->type;
        *size = needed;
        return Success;
    }

    long closeKey(Key key) override
    {
        if (m_open.remove(key))
            return Success;
        ++closesOfUnopenedKeys;
        return InvalidHandle;
    }

    QString findFile(const QString& path) override
    {
        lookups.append(path);
        if (!m_files.contains(path.toLower()))
            return QString();
        return path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
    }

    bool startProgram(const QString& path) override
    {
        starts.append(path);
        return !path.isEmpty() && !m_startFails;
    }

private:
    QHash<QByteArray, QHash<QByteArray, Value>> m_keys;
    QSet<QString> m_files;
    QHash<Key, QByteArray> m_open;
    Key m_nextHandle = 0x40;
    bool m_startFails = false;
};
