#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What the About box needs from the operating system: a registry in the
// Windows manner (keys below a root, typed values read into a caller's
// buffer, results as error numbers), a file look-up and a program start.
// The program talks to it only through this class so that the System Info
// button can be proved against a fake, and so that each platform decides
// for itself what the registry holds.
class Registry
{
    // An interface: copying a Registry& would slice off the platform's part.
    Q_DISABLE_COPY_MOVE(Registry)

public:
    using Key = quint32;

    static constexpr Key LocalMachine = 0x80000002;

    static constexpr long Success = 0;
    static constexpr long FileNotFound = 2;
    static constexpr long InvalidHandle = 6;
    static constexpr long MoreData = 234;

    static constexpr quint32 TextValue = 1;   // REG_SZ
    static constexpr quint32 NumberValue = 4; // REG_DWORD, least significant byte first

    virtual ~Registry() = default;

    // Paths and value names are 8-bit text; a key path separates its parts
    // with backslashes. On Success *opened holds the new key's handle.
    virtual long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                         Key* opened) = 0;
    // *size is the buffer's length going in and the number of bytes stored
    // coming out; a value that does not fit gives MoreData and stores nothing.
    virtual long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                            quint32* size) = 0;
    virtual long closeKey(Key key) = 0;

    // The name of the first plain file matching path, or an empty text.
    virtual QString findFile(const QString& path) = 0;
    // Starts the program without waiting for it; false when it cannot start.
    virtual bool startProgram(const QString& path) = 0;

protected:
    Registry() = default;
};
