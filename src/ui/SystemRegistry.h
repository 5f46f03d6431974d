#pragma once

#include "ui/Registry.h"

#include <QHash>
#include <QStringList>

#include <optional>

// A registry in the Windows manner held in memory: values under keys below the
// local-machine root, paths and names matched without regard to letter case,
// and no right to change anything. This desktop has no registry of its own, so
// by default the one key the About box looks at first is made up from the
// programs installed: "PATH" of the system-information key names the first
// known system information tool on PATH, and the key is absent when none is.
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

    SystemRegistry() = default;
    explicit SystemRegistry(const Values& values);

    // The tools looked for, best first.
    static QStringList toolNames();
    int openKeys() const { return int(m_openKeys.size()); }

    long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                 Key* opened) override;
    long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                    quint32* size) override;
    long closeKey(Key key) override;
    QString findFile(const QString& path) override;
    bool startProgram(const QString& path) override;

private:
    const Values& values();

    std::optional<Values> m_values; // folded to lower case; the system's made when first asked
    QHash<Key, QString> m_openKeys; // handle -> the key's folded path
    Key m_nextHandle = 0x100;
};
