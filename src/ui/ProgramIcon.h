#pragma once

#include <QIcon>

// The program's own picture: every window's icon, set once for the application,
// and the About box's picture, drawn from the same images as the desktop's icon.
namespace ProgramIcon {

QIcon icon();

} // namespace ProgramIcon
