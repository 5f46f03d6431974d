#pragma once

#include "ui/MessageBox.h"

class QWidget;

// The fixed information boxes of the Help menu: OK only, no icon, the
// application's title. Each returns the box's answer.
namespace HelpMenu {

MessageBox::Button showQuickHelp(QWidget* parent);
MessageBox::Button showRegistration(QWidget* parent);
MessageBox::Button showBugs(QWidget* parent);

} // namespace HelpMenu
