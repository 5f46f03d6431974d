#pragma once

#include "tally/FrameFigures.h"

#include <QString>
#include <array>

class CaptionLabel;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class TabControl;

// The figure labels of one frame; element 0 of each family lives in Logged Finds,
// element 1 in Latest Finds.
struct FrameLabels
{
    tally::PerDenomination<CaptionLabel*> faceValues{};
    tally::PerDenomination<CaptionLabel*> shares{};
    CaptionLabel* coinTotal = nullptr;
    CaptionLabel* totalFaceValue = nullptr;
};

// Every control of the main window, created at its design-time caption and place.
struct MainWindowUi
{
    TabControl* SSTab1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label2[2]{};

    tally::PerDenomination<CaptionLabel*> countLabels{};
    tally::PerDenomination<QLineEdit*> entryBoxes{};
    FrameLabels logged;
    FrameLabels latest;

    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdExit = nullptr;

    QAction* mnuExit = nullptr;
    QAction* mnuBackUpNow = nullptr;
    QAction* mnuRestoreFromBackup = nullptr;
    QAction* mnuDeleteBackups = nullptr;
    QAction* mnuDeleteLogs = nullptr;
    QAction* mnuQuickHelp = nullptr;
    QAction* mnuRegistration = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuBugs = nullptr;

    void setupUi(QMainWindow* window, const QString& suggestionAddress);
};
