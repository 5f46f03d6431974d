#pragma once

#include <QIcon>

// The program's own picture, shared by the main window, the About box and the
// desktop integration so that all three always show the same image.
class ProgramIcon
{
public:
    static QIcon icon();
};
