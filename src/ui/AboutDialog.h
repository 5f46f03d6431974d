#pragma once

#include "ui/Registry.h"

#include <QDialog>

#include <memory>

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
    // Without a registry the box asks the system's own.
    explicit AboutDialog(Registry* registry = nullptr);
    ~AboutDialog() override;

    // Loads the one About box if none is open, then shows it, brings it to
    // the front and activates it. Closing it unloads it.
    static AboutDialog* showSingle();

    void StartSysInfo();
    // Throws std::runtime_error for a value of zero length, which has no
    // last character to look at; StartSysInfo reports it like any failure.
    bool GetKeyValue(Registry::Key keyRoot, const QString& keyName, const QString& subKeyRef,
                     QString& keyVal);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    std::unique_ptr<Registry> m_ownRegistry;
    Registry* m_registry;

    QLabel* m_picIcon;
    QLabel* m_lblTitle;
    QLabel* m_lblVersion;
    QPlainTextEdit* m_txtDescription;
    QLabel* m_lblDisclaimer;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdSysInfo;
};
