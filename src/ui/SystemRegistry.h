#pragma once

#include "ui/Registry.h"

#include <QHash>
#include <QStringList>

// The registry as this desktop has it. There is no registry here, so the one
// key the About box looks at first is answered from the programs installed:
// "PATH" of the system-information key names the first known system
// information tool found on PATH, and the key is absent when none is
// installed. Every other key is absent.
class SystemRegistry : public Registry
{
public:
    // The tools looked for, best first.
    static QStringList toolNames();

    long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                 Key* opened) override;
    long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                    quint32* size) override;
    long closeKey(Key key) override;
    QString findFile(const QString& path) override;
    bool startProgram(const QString& path) override;

private:
    QHash<Key, QString> m_openKeys; // handle -> the tool the key names
    Key m_nextHandle = 0x100;
};
