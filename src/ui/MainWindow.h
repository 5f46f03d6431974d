#pragma once

#include "store/LogStore.h"
#include "ui/MainWindowUi.h"

#include <QMainWindow>
#include <QMessageBox>

// The main window: the controls hold every count and figure, and each handler
// below is run by the control whose event it is named after.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The log and its backup are kept in logDirectory, the working directory unless given.
    explicit MainWindow(const QString& logDirectory = QStringLiteral("."),
                        QWidget* parent = nullptr);

    // Loads the log, shows the window centred on the screen and tells the user
    // once about anything wrong with the log.
    void start();

    const MainWindowUi& ui() const { return m_ui; }

signals:
    // The program is about to end through Save & Exit or Exit Without Saving.
    void programEnding();

public slots:
    void Form_Load();
    void cmdAdd_Click();
    void cmdClear_Click();
    void cmdExit_Click();
    void mnuExit_Click();
    void mnuBackUpNow_Click();
    void mnuRestoreFromBackup_Click();
    void mnuDeleteBackups_Click();
    void mnuDeleteLogs_Click();
    void mnuQuickHelp_Click();
    void mnuRegistration_Click();
    void mnuAbout_Click();
    void mnuBugs_Click();

    void txtDollarCoins_Change() { onEntryChange(0); }
    void txtHalfDollarCoins_Change() { onEntryChange(1); }
    void txtQuarters_Change() { onEntryChange(2); }
    void txtDimes_Change() { onEntryChange(3); }
    void txtNickels_Change() { onEntryChange(4); }
    void txtPennies_Change() { onEntryChange(5); }

    void lblDollarCoins_Change(int) { onCountChange(0); }
    void lblHalfDollarCoins_Change(int) { onCountChange(1); }
    void lblQuarters_Change(int) { onCountChange(2); }
    void lblDimes_Change(int) { onCountChange(3); }
    void lblNickels_Change(int) { onCountChange(4); }
    void lblPennies_Change(int) { onCountChange(5); }

    // All six face-value handlers recompute both totals whichever element changed.
    void lblFaceValueDollars_Change(int) { onFaceValueChange(); }
    void lblHalfDollarFaceValue_Change(int) { onFaceValueChange(); }
    void lblQuartersFaceValue_Change(int) { onFaceValueChange(); }
    void lblDimesFaceValue_Change(int) { onFaceValueChange(); }
    void lblNickelsFaceValue_Change(int) { onFaceValueChange(); }
    void lblPenniesFaceValue_Change(int) { onFaceValueChange(); }

private:
    void wireHandlers();
    void onEntryChange(std::size_t row);
    void onCountChange(std::size_t row);
    void onFaceValueChange();

    // Shows the figures of the frame's six count texts as they stand now.
    void render(const FrameLabels& frame, const tally::PerDenomination<QString>& countTexts);
    tally::PerDenomination<QString> entryTexts() const;
    tally::PerDenomination<QString> loggedTexts() const;
    std::array<std::string, tally::kDenominationCount> loggedCaptions() const;
    void setLoggedCaptions(const std::array<std::string, tally::kDenominationCount>& captions);
    // Writes the file in the save form; the words for the user when that failed.
    QString writeFailure(const QString& fileName) const;
    // Writes both files; the words for the user about each that failed.
    QStringList writeLogAndBackup() const;
    // Deletes the file and tells the user how it went; true when it was deleted.
    bool removeAndReport(const QString& fileName, const QString& removedText,
                         QMessageBox::Icon removedIcon, const QString& removedTitle,
                         const QString& missingText);
    // The words for the user about items that were missing or not numbers, if any.
    static QString damageReport(const store::LogContents& contents, const QString& fileName);
    void endProgram();

    MainWindowUi m_ui;
    store::LogStore m_store;
    QString m_startMessage;
};
