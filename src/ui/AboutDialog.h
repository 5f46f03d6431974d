#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The About box: title, version, description, the program's icon, and a
// button that starts the system's own information tool. It is modeless and
// has no owner, so it can outlive the main window and keep the program
// running until it is closed.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    AboutDialog();

    // Loads the one About box if none is open, then shows it, brings it to
    // the front and activates it. Closing it unloads it.
    static AboutDialog* showSingle();

    // Starts the system's information tool, or tells the user it is unavailable.
    void StartSysInfo();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    QLabel* m_picIcon;
    QLabel* m_lblTitle;
    QLabel* m_lblVersion;
    QPlainTextEdit* m_txtDescription;
    QLabel* m_lblDisclaimer;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdSysInfo;
};
