#pragma once

#include <QString>

// Where Windows names its information tool: the "PATH" value of the tool's own key,
// or else the folder that the "MSINFO" value of the shared tools' locations names,
// holding MSINFO32.EXE. Both keys lie below root and prefix: the local machine's
// "SOFTWARE\Microsoft" unless told, so that a test can keep keys of its own.
class MsInfoRegistry
{
public:
    // The registry's roots that the program reads; <windows.h>, whose macros rename
    // half the program's names, stays in the implementation.
    enum class Root
    {
        LocalMachine,
        CurrentUser
    };

    explicit MsInfoRegistry(Root root = Root::LocalMachine,
                            QString prefix = QStringLiteral("SOFTWARE\\Microsoft"));

    // The tool as the keys name it; an empty text where they name none.
    QString toolPath() const;

    // Reads one value of a key opened for reading only: asking for more would turn
    // away every user without write rights to it. A text value comes as it is, without
    // a closing zero; a 32-bit number as "&h" and its bytes in hexadecimal, the most
    // significant first; any other kind leaves KeyVal as it was. False, with KeyVal
    // empty, for a key or value that is missing, empty or longer than 1024 bytes.
    bool GetKeyValue(Root KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                     QString& KeyVal) const;

private:
    Root m_root;
    QString m_prefix;
};
