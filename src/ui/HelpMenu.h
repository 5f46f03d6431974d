#pragma once

#include "ui/MessageBox.h"

class QWidget;

// The fixed information boxes of the Help menu: OK only, no icon, the
// application's title. Each returns the box's answer.
class HelpMenu
{
public:
    static MessageBox::Button showQuickHelp(QWidget* parent);
    static MessageBox::Button showRegistration(QWidget* parent);
    static MessageBox::Button showBugs(QWidget* parent);
};
