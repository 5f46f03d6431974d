#pragma once

#include "store/LogStore.h"
#include "ui/MainWindowUi.h"

#include <QMainWindow>
#include <QMessageBox>

// The main window. The logged counts live here as the texts the log stores; every
// figure on screen is rendered from them or from the entry boxes' texts.
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

    // Whether the Logged Finds shown differ from what this window last read from or
    // wrote to the log.
    bool hasUnsavedFinds() const;

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
    // What saveLog() does when another window or program wrote the log meanwhile.
    enum class OnChangedLog
    {
        Ask,
        KeepBoth
    };

    void wireHandlers();
    void onEntryChange(std::size_t row);
    void setLogged(const store::Captions& captions);
    static void render(const FrameLabels& frame, const store::Captions& counts);
    // The file's name as found on disk, in whatever letter case it has there.
    QString nameOnDisk(const QString& fileName) const;
    QString saveFailure(const QString& fileName, const QString& reason) const;
    // Writes the log from the counts shown; when another window or program wrote it
    // meanwhile, the user chooses what it gets. An empty text when it was written, the
    // words for the user when that failed, nothing when the user cancelled.
    std::optional<QString> saveLog(OnChangedLog onChanged = OnChangedLog::Ask);
    // saveLog(), saying why when it fails: true when the log was written.
    bool saveOrSay();
    // Asks what becomes of unsaved finds: true when the window may go.
    bool mayClose();
    // The log as saveLog() does, then the backup: the words for the user about each
    // file that failed, or nothing when the user cancelled.
    std::optional<QStringList> saveLogAndBackup();
    // Deletes the file and tells the user how it went; true when it was deleted.
    bool removeAndReport(const QString& fileName, const QString& removedText,
                         QMessageBox::Icon removedIcon, const QString& removedTitle,
                         const QString& missingText);
    // The words for the user about items that were missing or not numbers, if any.
    static QString damageReport(const store::LogContents& contents, const QString& fileName);
    void endProgram();

    MainWindowUi m_ui;
    store::LogStore m_store;
    store::Captions m_logged; // as shown, and as the log stores them
    store::LogState m_base;   // what the log held when this window last read or wrote it
    QString m_startMessage;
    bool m_ending = false; // the program ends, and its windows close without a question
};
