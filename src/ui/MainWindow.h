#pragma once

#include "store/LoggedFinds.h"
#include "ui/MainWindowUi.h"

#include <QMainWindow>
#include <QMessageBox>

// The main window. It renders the Logged Finds and the entry boxes' texts, asks what
// the user wants and words what became of it; the finds and their files are kept by
// store::LoggedFinds.
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

    // The desktop session is ending. Where the session lets the program ask, the user
    // is asked as on closing the window; otherwise unsaved finds are saved keeping the
    // finds of every window, without a box. False when the session should not end:
    // the user cancelled, or the save failed.
    bool endSession(bool mayAsk);

signals:
    // The program is about to end through Save & Exit or Exit Without Saving.
    void programEnding();

public slots:
    // Each handler is named after its control and event, and connected by that name.
    void Form_Load();
    void cmdAdd_Click();
    void cmdClear_Click();
    void cmdExit_Click();
    void mnuExit_Click() { endProgram(); }
    // Asked to terminate (SIGTERM, SIGHUP): saves as endSession(false) does, and ends.
    void endOnSignal();
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void wireHandlers();
    void onEntryChange(std::size_t row);
    store::Captions entryTexts() const;
    void showLogged();
    static void render(const FrameLabels& frame, const store::Captions& counts);
    QString saveFailure(const char* fileName, const QString& reason) const;
    // Saves the log, asking the user what to write when another window wrote it meanwhile.
    store::SaveOutcome saveLog();
    // saveLog(), saying why when it fails: true when the log was written.
    bool saveOrSay();
    // Asks what becomes of unsaved finds: true when the window may go.
    bool mayClose();
    // The backup, written even when the log could not be: the words for the user about
    // each of the two that failed.
    QStringList backUpAfter(const store::SaveOutcome& log);
    // Tells the user how a deletion went; true when the file was deleted.
    bool reportRemoval(const store::FileOutcome& removed, const char* fileName,
                       const QString& removedText, QMessageBox::Icon removedIcon,
                       const QString& removedTitle, const QString& missingText);
    // The words for the user about items that were missing or not numbers, if any.
    static QString damageReport(const store::LogContents& contents, const QString& fileName);
    void endProgram();

    MainWindowUi m_ui;
    store::LoggedFinds m_finds;
    QString m_startMessage;
    bool m_ending = false; // the program ends, and its windows close without a question
};
