#pragma once

#include "tally/Denomination.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QString;
class QTabWidget;

// The figure labels of one frame; element 0 of each family lives in Logged Finds,
// element 1 in Latest Finds.
struct FrameLabels
{
    tally::PerDenomination<QLabel*> faceValues{};
    tally::PerDenomination<QLabel*> shares{};
    QLabel* coinTotal = nullptr;
    QLabel* totalFaceValue = nullptr;
};

// Every control of the main window, created at its design-time caption and place.
struct MainWindowUi
{
    QTabWidget* SSTab1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;

    tally::PerDenomination<QLabel*> countLabels{};
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
