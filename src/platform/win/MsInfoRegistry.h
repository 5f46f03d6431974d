#pragma once

#include <QString>

// Where Windows names its information tool: the "PATH" value of the tool's own key,
// or else the folder that the "MSINFO" value of the shared tools' locations names,
// holding MSINFO32.EXE. Both keys lie below the local machine's "SOFTWARE\Microsoft".
// <windows.h>, whose macros rename half the program's names, stays in the
// implementation.
namespace MsInfoRegistry {

// The tool as the keys name it; an empty text where they name none.
QString toolPath();

} // namespace MsInfoRegistry
