#include "ui/MainWindow.h"

#include "ZoredevVersion.h"
#include "platform/Desktop.h"
#include "platform/SessionEnd.h"
#include "tally/FrameFigures.h"
#include "ui/AboutDialog.h"
#include "ui/HelpMenu.h"
#include "ui/MakerContact.h"
#include "ui/MessageBox.h"
#include "ui/TextConversion.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QTabWidget>

namespace {

using tally::kDenominationCount;
using tally::kDenominations;

using store::Captions;
using store::FileOutcome;
using store::kBackupFileName;
using store::kLogFileName;
using store::SaveOutcome;

// "Dollar Coins 4, Half Dollar Coins 1, ...", for a message.
QString countsText(const Captions& counts)
{
    QStringList items;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        items << toQString(kDenominations[i].name) + QLatin1Char(' ') + toQString(counts[i]);
    return items.join(QStringLiteral(", "));
}

} // namespace

MainWindow::MainWindow(const QString& logDirectory, QWidget* parent)
    : QMainWindow(parent), m_finds(logDirectory)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_ui.setupUi(this, MakerContact::email);
    wireHandlers();
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
        if (!m_finds.hasUnsavedFinds())
            return;
        const bool mayAsk = SessionEnd::mayAsk(session);
        if (!endSession(mayAsk))
            session.cancel();
        if (mayAsk)
            session.release();
    });
}

void MainWindow::wireHandlers()
{
    // Every control runs the handler named after it and its event, as Qt's own
    // auto-connection does for its on_ names.
    const QList<QPair<QMetaMethod, const char*>> events{
        {QMetaMethod::fromSignal(&QLineEdit::textChanged), "_Change()"},
        {QMetaMethod::fromSignal(&QPushButton::clicked), "_Click()"},
        {QMetaMethod::fromSignal(&QAction::triggered), "_Click()"}};
    for (QObject* control : findChildren<QObject*>()) {
        for (const auto& [signal, event] : events) {
            const QMetaMethod handler = metaObject()->method(
                metaObject()->indexOfSlot(control->objectName().toLatin1() + event));
            if (handler.isValid() && control->metaObject()->inherits(signal.enclosingMetaObject()))
                connect(control, signal, this, handler);
        }
    }

    // The buttons' access keys work on every tab. On the first the buttons take
    // them themselves; elsewhere they are hidden, and these stand in for them.
    for (QPushButton* button : {m_ui.cmdAdd, m_ui.cmdClear, m_ui.cmdExit}) {
        auto* key = new QShortcut(QKeySequence::mnemonic(button->text()), this);
        key->setEnabled(false);
        connect(key, &QShortcut::activated, button, &QPushButton::click);
        connect(m_ui.SSTab1, &QTabWidget::currentChanged, key,
                [this, key, button] { key->setEnabled(!button->isVisibleTo(this)); });
    }
}

void MainWindow::start()
{
    Form_Load();
    Desktop::prepareFrame(this);
    if (const QScreen* screen = this->screen()) {
        QRect placed = frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
    show();
    m_ui.entryBoxes.front()->setFocus(Qt::OtherFocusReason);
    if (!m_startMessage.isEmpty())
        MessageBox::inform(this, m_startMessage, QMessageBox::Warning);
}

void MainWindow::Form_Load()
{
    setWindowTitle(QStringLiteral("%1 %2.%3.%4")
                       .arg(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName())
                       .arg(ZOREDEV_VERSION_MAJOR)
                       .arg(ZOREDEV_VERSION_MINOR)
                       .arg(ZOREDEV_VERSION_PATCH));

    const store::LoadOutcome loaded = m_finds.load();
    const QString shownName = m_finds.nameOnDisk(kLogFileName);
    if (loaded.kind == store::LoadOutcome::Kind::Read) {
        showLogged();
        m_startMessage = damageReport(loaded.contents, shownName);
        return;
    }
    const bool uncreated = loaded.kind == store::LoadOutcome::Kind::CannotCreate;
    m_startMessage =
        QStringLiteral("Cannot %1 the log file %2: %3\n\nThe Logged Finds start at zero.%4")
            .arg(uncreated ? QStringLiteral("create") : QStringLiteral("read"), shownName,
                 loaded.reason.isEmpty() ? QStringLiteral("the file is missing") : loaded.reason,
                 uncreated ? QString() : QStringLiteral("  The file has not been changed."));
}

QString MainWindow::damageReport(const store::LogContents& contents, const QString& fileName)
{
    QStringList problems;
    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        if (contents.valid[i])
            continue;
        const QString row = toQString(kDenominations[i].name);
        if (i >= contents.itemsFound)
            problems << QStringLiteral("Line %1 (%2) is missing.").arg(i + 1).arg(row);
        else
            problems << QStringLiteral("Line %1 (%2) holds \"%3\", which is not a number.")
                            .arg(i + 1)
                            .arg(row, QString::fromStdString(contents.rawItems[i]));
    }
    if (problems.isEmpty())
        return QString();
    return QStringLiteral("The file %1 is damaged:\n\n%2\n\nThese counts are taken as 0.  "
                          "The file is not changed until you save.")
        .arg(fileName, problems.join(QLatin1Char('\n')));
}

void MainWindow::showLogged()
{
    const Captions& counts = m_finds.counts();
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        m_ui.countLabels[i]->setText(toQString(counts[i]));
    render(m_ui.logged, counts);
}

void MainWindow::render(const FrameLabels& frame, const Captions& counts)
{
    const tally::FrameFigures figures = tally::FrameFigures::of(counts);
    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        frame.faceValues[i]->setText(toQString(figures.faceValues[i]));
        frame.shares[i]->setText(toQString(figures.shares[i]));
    }
    frame.coinTotal->setText(toQString(figures.coinTotal));
    frame.totalFaceValue->setText(toQString(figures.totalFaceValue));
}

void MainWindow::onEntryChange(std::size_t row)
{
    QLineEdit* box = m_ui.entryBoxes[row];
    if (box->text().isEmpty()) {
        // Runs this handler again, nested, with the 0.
        box->setText(QStringLiteral("0"));
        // The next key typed replaces the 0 instead of being appended to it.
        if (box->hasFocus())
            box->selectAll();
        return;
    }
    render(m_ui.latest, entryTexts());
}

Captions MainWindow::entryTexts() const
{
    Captions entries;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        entries[i] = toStd(m_ui.entryBoxes[i]->text());
    return entries;
}

void MainWindow::cmdAdd_Click()
{
    const store::LogOutcome logged = m_finds.log(entryTexts());
    if (logged.kind == store::LogOutcome::Kind::NotANumber) {
        QLineEdit* box = m_ui.entryBoxes[logged.entry];
        MessageBox::inform(this,
                           QStringLiteral("Nothing was logged: the %1 box holds \"%2\", which is "
                                          "not a number of coins.  Please correct it and log "
                                          "your finds again.")
                               .arg(toQString(kDenominations[logged.entry].name), box->text()),
                           QMessageBox::Warning);
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
        return;
    }
    // The boxes show what is logged, however long: their limit is for typing only.
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        m_ui.entryBoxes[i]->setText(toQString(logged.entries[i]));
    showLogged();
    cmdClear_Click();
}

void MainWindow::cmdClear_Click()
{
    for (QLineEdit* box : m_ui.entryBoxes)
        box->setText(QStringLiteral("0"));
}

QString MainWindow::saveFailure(const char* fileName, const QString& reason) const
{
    return QStringLiteral("Cannot write %1: %2").arg(m_finds.nameOnDisk(fileName), reason);
}

SaveOutcome MainWindow::saveLog()
{
    SaveOutcome outcome = m_finds.save();
    while (outcome.kind == SaveOutcome::Kind::Changed) {
        const QString onDisk = outcome.onDisk ? countsText(*outcome.onDisk)
                                              : QStringLiteral("none, the file has been deleted");
        const MessageBox::Button answer = MessageBox::ask(
            this,
            QStringLiteral("%1 has been changed by another window or program since this window "
                           "last read or wrote it.\n\nIn the file now: %2\nShown here: %3\n\n"
                           "Keep Both keeps the finds of both and writes: %4\nOverwrite writes "
                           "the counts shown here, replacing what the file holds now.\nCancel "
                           "writes nothing.")
                .arg(m_finds.nameOnDisk(kLogFileName), onDisk, countsText(m_finds.counts()),
                     countsText(outcome.keptBoth)),
            QStringLiteral("Log File Changed"), QMessageBox::Warning, QMessageBox::Yes,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
            {{QMessageBox::Yes, QStringLiteral("&Keep Both")},
             {QMessageBox::No, QStringLiteral("&Overwrite")}});
        if (answer != QMessageBox::Yes && answer != QMessageBox::No)
            return {SaveOutcome::Kind::Cancelled, {}, {}, {}};
        outcome = m_finds.saveOver(outcome, answer == QMessageBox::Yes
                                                ? store::LoggedFinds::Choice::KeepBoth
                                                : store::LoggedFinds::Choice::Overwrite);
    }
    showLogged();
    return outcome;
}

QStringList MainWindow::backUpAfter(const SaveOutcome& log)
{
    QStringList failures;
    if (log.kind == SaveOutcome::Kind::Failed)
        failures << saveFailure(kLogFileName, log.reason);
    const FileOutcome backup = m_finds.writeBackup();
    if (backup.kind == FileOutcome::Kind::Failed)
        failures << saveFailure(kBackupFileName, backup.reason);
    return failures;
}

bool MainWindow::saveOrSay()
{
    const SaveOutcome outcome = saveLog();
    if (outcome.kind == SaveOutcome::Kind::Failed)
        MessageBox::inform(this,
                           saveFailure(kLogFileName, outcome.reason) +
                               QStringLiteral("\n\nYour logged finds are still shown and "
                                              "nothing was lost.  The file on disk was not "
                                              "changed."),
                           QMessageBox::Warning);
    return outcome.kind == SaveOutcome::Kind::Written;
}

void MainWindow::cmdExit_Click()
{
    if (saveOrSay())
        endProgram();
}

bool MainWindow::mayClose()
{
    if (!m_finds.hasUnsavedFinds())
        return true;
    const MessageBox::Button answer = MessageBox::ask(
        this,
        QStringLiteral("The finds logged since %1 was last written have not been saved.\n\nSave "
                       "writes them to %1, as Save & Exit does.  Discard closes Zoredev without "
                       "them, and they are lost.  Cancel keeps the window open.")
            .arg(m_finds.nameOnDisk(kLogFileName)),
        QStringLiteral("Unsaved Finds"), QMessageBox::Warning, QMessageBox::Save,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    return answer == QMessageBox::Discard || (answer == QMessageBox::Save && saveOrSay());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A close event comes accepted; every way of ending the program has settled the
    // finds already.
    if (!m_ending && !mayClose())
        event->ignore();
}

bool MainWindow::endSession(bool mayAsk)
{
    if (mayAsk)
        return m_ending = mayClose();
    const SaveOutcome outcome = m_finds.saveKeepingBoth();
    showLogged();
    if (outcome.kind != SaveOutcome::Kind::Failed)
        return true;
    // No box can be shown; the session's log is the only place left to say it.
    qWarning("%s", qUtf8Printable(saveFailure(kLogFileName, outcome.reason)));
    return false;
}

void MainWindow::endOnSignal()
{
    endSession(false);
    endProgram();
}

void MainWindow::mnuQuickHelp_Click()
{
    HelpMenu::showQuickHelp(this);
}

void MainWindow::mnuRegistration_Click()
{
    HelpMenu::showRegistration(this);
}

void MainWindow::mnuAbout_Click()
{
    AboutDialog::showSingle();
}

void MainWindow::mnuBugs_Click()
{
    HelpMenu::showBugs(this);
}

void MainWindow::endProgram()
{
    m_ending = true;
    emit programEnding();
    QApplication::closeAllWindows();
    // quit() does nothing unless the main loop runs, so a test that watched the
    // program end can still wait for events afterwards.
    QCoreApplication::quit();
}

bool MainWindow::reportRemoval(const FileOutcome& removed, const char* fileName,
                               const QString& removedText, QMessageBox::Icon removedIcon,
                               const QString& removedTitle, const QString& missingText)
{
    if (removed.kind == FileOutcome::Kind::Done)
        MessageBox::inform(this, removedText, removedIcon, removedTitle);
    else if (removed.kind == FileOutcome::Kind::Missing)
        MessageBox::inform(this, missingText);
    else // anything but a missing file is said as it is, never as "there is no file"
        MessageBox::inform(this,
                           QStringLiteral("Cannot delete %1: %2\n\nThe file is still there.")
                               .arg(m_finds.nameOnDisk(fileName), removed.reason),
                           QMessageBox::Warning);
    return removed.kind == FileOutcome::Kind::Done;
}

void MainWindow::mnuBackUpNow_Click()
{
    const SaveOutcome log = saveLog();
    if (log.kind == SaveOutcome::Kind::Cancelled)
        return;
    const QStringList failures = backUpAfter(log);
    if (failures.isEmpty()) {
        MessageBox::inform(this, QStringLiteral("Log files have been backed up."));
        return;
    }
    MessageBox::inform(this,
                       failures.join(QLatin1Char('\n')) +
                           QStringLiteral("\n\nThe back-up is not complete.  Your logged finds "
                                          "are still shown and nothing on disk was lost."),
                       QMessageBox::Warning);
}

void MainWindow::mnuRestoreFromBackup_Click()
{
    const store::RestoreOutcome restored = m_finds.restore();
    if (restored.kind == store::RestoreOutcome::Kind::Missing) {
        MessageBox::inform(this, QStringLiteral("There are no backup files to restore."));
        return;
    }
    showLogged();
    const QString damage = damageReport(restored.contents, m_finds.nameOnDisk(kBackupFileName));
    if (!damage.isEmpty())
        MessageBox::inform(this, damage, QMessageBox::Warning);

    const MessageBox::Button answer = MessageBox::ask(
        this,
        QStringLiteral("Restore complete.  Would you like to replace the current .LOG file(s) "
                       "with the backup .LOG files at this time?"),
        QStringLiteral("Status"));
    if (answer != QMessageBox::Yes)
        return;

    // Each file is replaced whole in one step, so there is never a moment without a
    // log on disk, and a log that was deleted before is simply written anew.
    const SaveOutcome log = saveLog();
    if (log.kind == SaveOutcome::Kind::Cancelled)
        return;
    const QStringList failures = backUpAfter(log);
    if (!failures.isEmpty()) {
        MessageBox::inform(this,
                           failures.join(QLatin1Char('\n')) +
                               QStringLiteral("\n\nThe restored counts are shown; save them with "
                                              "Save & Exit once the file can be written."),
                           QMessageBox::Warning);
    }
}

void MainWindow::mnuDeleteBackups_Click()
{
    const MessageBox::Button answer = MessageBox::ask(
        this,
        QStringLiteral("You have indicated that you wish to ERASE ALL BACKUP FILES.  Are you sure "
                       "this is what you wish to do?"),
        QStringLiteral("Please Verify Requested Action"));
    if (answer != QMessageBox::Yes)
        return;
    reportRemoval(m_finds.deleteBackup(), kBackupFileName,
                  QStringLiteral("Backup file(s) have been DELETED."), QMessageBox::NoIcon,
                  QStringLiteral("Operation Status"),
                  QStringLiteral("There are no backup files to delete."));
}

void MainWindow::mnuDeleteLogs_Click()
{
    const MessageBox::Button answer = MessageBox::ask(
        this,
        QStringLiteral("You have indicated that you wish to ERASE YOUR PRIMARY LOG FILE(S).  Are "
                       "you SURE this is what you want to do?"),
        QStringLiteral("Confirm Requested Action"), QMessageBox::Critical, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (reportRemoval(m_finds.deleteLog(), kLogFileName,
                      QStringLiteral("Log file(s) have been DELETED."), QMessageBox::Warning,
                      QStringLiteral("Status of Operation"),
                      QStringLiteral("There are no LOG files to delete.")))
        showLogged();
}
