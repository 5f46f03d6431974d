#pragma once

#include "ui/Registry.h"

// The system's own registry, read through advapi32, and the system's own way
// of finding and starting a program.
class WindowsRegistry : public Registry
{
public:
    WindowsRegistry() = default;

    long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                 Key* opened) override;
    long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                    quint32* size) override;
    long closeKey(Key key) override;
    QString findFile(const QString& path) override;
    bool startProgram(const QString& path) override;
};
