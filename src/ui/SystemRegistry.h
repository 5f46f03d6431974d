#pragma once

#include "ui/Registry.h"

#include <QHash>

// A registry in the Windows manner held in memory: values under keys below the
// local-machine root, paths and names matched without regard to letter case.
// This desktop has no registry of its own, so by default it holds only the one
// value the About box looks at first: "PATH" of the system-information key names
// the first known system information tool on PATH, and the key is absent when
// none is.
class SystemRegistry : public Registry
{
public:
    struct Value
    {
        quint32 type;
        QByteArray data; // as stored: a text value ends with its zero
    };
    // By "key path|value name".
    using Values = QHash<QString, Value>;

    SystemRegistry();
    explicit SystemRegistry(const Values& values);

    int openKeys() const { return int(m_openKeys.size()); }

    long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                 Key* opened) override;
    long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                    quint32* size) override;
    long closeKey(Key key) override;
    QString findFile(const QString& path) override;
    bool startProgram(const QString& path) override;

private:
    Values m_values;                // by folded key: lower case
    QHash<Key, QString> m_openKeys; // handle -> the key's folded path
    Key m_nextHandle = 0x100;
};
