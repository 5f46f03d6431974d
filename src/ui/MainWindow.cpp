#include "ui/MainWindow.h"

#include "ZoredevVersion.h"
#include "tally/FrameFigures.h"
#include "platform/Desktop.h"
#include "platform/SessionEnd.h"
#include "tally/NumberRules.h"
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

const QLatin1String kLogName(store::kLogFileName), kBackupName(store::kBackupFileName);

const Captions kZeroCaptions{"0", "0", "0", "0", "0", "0"};

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
    : QMainWindow(parent), m_store(logDirectory)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_ui.setupUi(this, MakerContact::email);
    m_logged = kZeroCaptions;
    wireHandlers();
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
        if (!hasUnsavedFinds())
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

    m_startMessage.clear();
    const store::SeedResult seeded = m_store.ensureLogSeeded();
    const QString shownName = nameOnDisk(kLogName);
    const store::ReadResult read = m_store.read(kLogName);
    if (read.status != store::ReadResult::Status::Read) {
        const bool uncreated = seeded.status == store::SeedResult::Status::CannotCreate;
        const QString reason = seeded.error.isEmpty() ? read.error : seeded.error;
        m_startMessage =
            QStringLiteral("Cannot %1 the log file %2: %3\n\nThe Logged Finds start at zero.%4")
                .arg(uncreated ? QStringLiteral("create") : QStringLiteral("read"), shownName,
                     reason.isEmpty() ? QStringLiteral("the file is missing") : reason,
                     uncreated ? QString() : QStringLiteral("  The file has not been changed."));
        return;
    }

    m_base = read.contents.captions;
    setLogged(read.contents.captions);
    m_startMessage = damageReport(read.contents, shownName);
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

void MainWindow::setLogged(const Captions& captions)
{
    m_logged = captions;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        m_ui.countLabels[i]->setText(toQString(m_logged[i]));
    render(m_ui.logged, m_logged);
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
    Captions entries;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        entries[i] = toStd(m_ui.entryBoxes[i]->text());
    render(m_ui.latest, entries);
}

void MainWindow::cmdAdd_Click()
{
    // Check everything before changing anything, so a bad box logs nothing at all.
    std::array<double, kDenominationCount> entries{};
    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        QLineEdit* box = m_ui.entryBoxes[i];
        const std::optional<double> entry = tally::normalisedEntry(toStd(box->text()));
        if (!entry) {
            MessageBox::inform(
                this,
                QStringLiteral("Nothing was logged: the %1 box holds \"%2\", which is "
                               "not a number of coins.  Please correct it and log "
                               "your finds again.")
                    .arg(toQString(kDenominations[i].name), box->text()),
                QMessageBox::Warning);
            box->setFocus(Qt::OtherFocusReason);
            box->selectAll();
            return;
        }
        // Three characters make at most 9e9, and every logged count reads back
        // as a finite number, so no sum can leave the double range.
        entries[i] = *entry;
    }

    // The boxes show what is logged, however long: their limit is for typing only.
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        m_ui.entryBoxes[i]->setText(toQString(tally::generalNumberText(entries[i])));

    Captions logged;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        logged[i] = tally::generalNumberText(tally::leadingNumber(m_logged[i]) + entries[i]);
    setLogged(logged);

    cmdClear_Click();
}

void MainWindow::cmdClear_Click()
{
    for (QLineEdit* box : m_ui.entryBoxes)
        box->setText(QStringLiteral("0"));
}

QString MainWindow::nameOnDisk(const QString& fileName) const
{
    return QFileInfo(m_store.pathOf(fileName)).fileName();
}

QString MainWindow::saveFailure(const QString& fileName, const QString& reason) const
{
    return QStringLiteral("Cannot write %1: %2").arg(nameOnDisk(fileName), reason);
}

// Another window (or another computer, on a shared folder) may have logged finds and
// saved them since this one read the log. The logged counts are running sums, so
// what this window added is what it shows less what it read, and writing that on top
// of the file's counts keeps the finds of both.
std::optional<QString> MainWindow::saveLog(OnChangedLog onChanged)
{
    store::LogState expected = m_base;
    Captions counts = m_logged;
    for (;;) {
        const store::SaveResult saved = m_store.saveLog(expected, counts);
        if (saved.status != store::SaveResult::Status::Changed) {
            m_base = saved.onDisk;
            setLogged(counts);
            if (saved.status == store::SaveResult::Status::Written)
                return QString();
            return saveFailure(kLogName, saved.error);
        }
        const Captions merged = store::LogFormat::merged(m_base, m_logged, saved.onDisk);
        const QString onDisk = saved.onDisk ? countsText(*saved.onDisk)
                                            : QStringLiteral("none, the file has been deleted");
        const MessageBox::Button answer =
            onChanged == OnChangedLog::KeepBoth
                ? QMessageBox::Yes
                : MessageBox::ask(
                      this,
                      QStringLiteral(
                          "%1 has been changed by another window or program since this window "
                          "last read or wrote it.\n\nIn the file now: %2\nShown here: %3\n\n"
                          "Keep Both keeps the finds of both and writes: %4\nOverwrite writes "
                          "the counts shown here, replacing what the file holds now.\nCancel "
                          "writes nothing.")
                          .arg(nameOnDisk(kLogName), onDisk, countsText(m_logged),
                               countsText(merged)),
                      QStringLiteral("Log File Changed"), QMessageBox::Warning, QMessageBox::Yes,
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                      {{QMessageBox::Yes, QStringLiteral("&Keep Both")},
                       {QMessageBox::No, QStringLiteral("&Overwrite")}});
        if (answer != QMessageBox::Yes && answer != QMessageBox::No)
            return std::nullopt;
        counts = answer == QMessageBox::Yes ? merged : m_logged;
        expected = saved.onDisk;
    }
}

std::optional<QStringList> MainWindow::saveLogAndBackup()
{
    const std::optional<QString> logFailure = saveLog();
    if (!logFailure)
        return std::nullopt;
    // The backup is written even when the log could not be, and the other way round.
    QStringList failures;
    if (!logFailure->isEmpty())
        failures << *logFailure;
    const store::StoreResult backup = m_store.write(kBackupName, m_logged);
    if (!backup.ok())
        failures << saveFailure(kBackupName, backup.error);
    return failures;
}

bool MainWindow::saveOrSay()
{
    const std::optional<QString> failure = saveLog();
    if (failure && !failure->isEmpty())
        MessageBox::inform(this,
                           *failure + QStringLiteral("\n\nYour logged finds are still shown and "
                                                     "nothing was lost.  The file on disk was not "
                                                     "changed."),
                           QMessageBox::Warning);
    return failure && failure->isEmpty();
}

void MainWindow::cmdExit_Click()
{
    if (saveOrSay())
        endProgram();
}

bool MainWindow::hasUnsavedFinds() const
{
    // Right after this window deleted the log there is none, and nothing is unsaved.
    return m_logged != m_base.value_or(kZeroCaptions);
}

bool MainWindow::mayClose()
{
    if (!hasUnsavedFinds())
        return true;
    const MessageBox::Button answer = MessageBox::ask(
        this,
        QStringLiteral("The finds logged since %1 was last written have not been saved.\n\nSave "
                       "writes them to %1, as Save & Exit does.  Discard closes Zoredev without "
                       "them, and they are lost.  Cancel keeps the window open.")
            .arg(nameOnDisk(kLogName)),
        QStringLiteral("Unsaved Finds"), QMessageBox::Warning, QMessageBox::Save,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    return answer == QMessageBox::Discard || (answer == QMessageBox::Save && saveOrSay());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Every way of ending the program has settled the finds already.
    if (m_ending || mayClose())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::endSession(bool mayAsk)
{
    if (mayAsk)
        return m_ending = mayClose();
    if (!hasUnsavedFinds())
        return true;
    const std::optional<QString> failure = saveLog(OnChangedLog::KeepBoth);
    if (failure->isEmpty())
        return true;
    // No box can be shown; the session's log is the only place left to say it.
    qWarning("%s", qUtf8Printable(*failure));
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

bool MainWindow::removeAndReport(const QString& fileName, const QString& removedText,
                                 QMessageBox::Icon removedIcon, const QString& removedTitle,
                                 const QString& missingText)
{
    const store::RemoveResult removed = m_store.remove(fileName);
    if (removed.status == store::RemoveResult::Status::Removed)
        MessageBox::inform(this, removedText, removedIcon, removedTitle);
    else if (removed.status == store::RemoveResult::Status::Missing)
        MessageBox::inform(this, missingText);
    else // anything but a missing file is said as it is, never as "there is no file"
        MessageBox::inform(this,
                           QStringLiteral("Cannot delete %1: %2\n\nThe file is still there.")
                               .arg(nameOnDisk(fileName), removed.error),
                           QMessageBox::Warning);
    return removed.status == store::RemoveResult::Status::Removed;
}

void MainWindow::mnuBackUpNow_Click()
{
    const std::optional<QStringList> failures = saveLogAndBackup();
    if (!failures)
        return;
    if (failures->isEmpty()) {
        MessageBox::inform(this, QStringLiteral("Log files have been backed up."));
        return;
    }
    MessageBox::inform(this,
                       failures->join(QLatin1Char('\n')) +
                           QStringLiteral("\n\nThe back-up is not complete.  Your logged finds "
                                          "are still shown and nothing on disk was lost."),
                       QMessageBox::Warning);
}

void MainWindow::mnuRestoreFromBackup_Click()
{
    const store::ReadResult backup = m_store.read(kBackupName);
    // Only a complete backup is restored: half of one would mix two tallies.
    if (backup.status != store::ReadResult::Status::Read ||
        backup.contents.itemsFound < kDenominationCount) {
        MessageBox::inform(this, QStringLiteral("There are no backup files to restore."));
        return;
    }
    setLogged(backup.contents.captions);
    const QString damage = damageReport(backup.contents, kBackupName);
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
    const std::optional<QStringList> failures = saveLogAndBackup();
    if (failures && !failures->isEmpty()) {
        MessageBox::inform(this,
                           failures->join(QLatin1Char('\n')) +
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
    removeAndReport(kBackupName, QStringLiteral("Backup file(s) have been DELETED."),
                    QMessageBox::NoIcon, QStringLiteral("Operation Status"),
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
    if (removeAndReport(kLogName, QStringLiteral("Log file(s) have been DELETED."),
                        QMessageBox::Warning, QStringLiteral("Status of Operation"),
                        QStringLiteral("There are no LOG files to delete."))) {
        m_base.reset(); // the next save replaces nothing
        setLogged(kZeroCaptions);
    }
}
