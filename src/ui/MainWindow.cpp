#include "ui/MainWindow.h"

#include "tally/FrameFigures.h"
#include "tally/NumberRules.h"
#include "ui/AboutDialog.h"
#include "ui/CaptionLabel.h"
#include "ui/HelpMenu.h"
#include "ui/MakerContact.h"
#include "ui/MessageBox.h"
#include "ui/ProgramIcon.h"
#include "ui/TabControl.h"
#include "ui/TextConversion.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>

namespace {

using tally::kDenominationCount;
using tally::kDenominations;

QString logFileName()
{
    return QString::fromLatin1(store::kLogFileName);
}

QString backupFileName()
{
    return QString::fromLatin1(store::kBackupFileName);
}

const std::array<std::string, kDenominationCount> kZeroCaptions{"0", "0", "0", "0", "0", "0"};

} // namespace

MainWindow::MainWindow(const QString& logDirectory, QWidget* parent)
    : QMainWindow(parent), m_store(logDirectory)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_ui.setupUi(this, MakerContact::email);
    setWindowIcon(ProgramIcon::icon());
    wireHandlers();
}

void MainWindow::wireHandlers()
{
    using EntryHandler = void (MainWindow::*)();
    using ArrayHandler = void (MainWindow::*)(int);
    static constexpr std::array<EntryHandler, kDenominationCount> entryHandlers{
        &MainWindow::txtDollarCoins_Change, &MainWindow::txtHalfDollarCoins_Change,
        &MainWindow::txtQuarters_Change,    &MainWindow::txtDimes_Change,
        &MainWindow::txtNickels_Change,     &MainWindow::txtPennies_Change};
    static constexpr std::array<ArrayHandler, kDenominationCount> countHandlers{
        &MainWindow::lblDollarCoins_Change, &MainWindow::lblHalfDollarCoins_Change,
        &MainWindow::lblQuarters_Change,    &MainWindow::lblDimes_Change,
        &MainWindow::lblNickels_Change,     &MainWindow::lblPennies_Change};
    static constexpr std::array<ArrayHandler, kDenominationCount> faceValueHandlers{
        &MainWindow::lblFaceValueDollars_Change,  &MainWindow::lblHalfDollarFaceValue_Change,
        &MainWindow::lblQuartersFaceValue_Change, &MainWindow::lblDimesFaceValue_Change,
        &MainWindow::lblNickelsFaceValue_Change,  &MainWindow::lblPenniesFaceValue_Change};

    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        connect(m_ui.entryBoxes[i], &QLineEdit::textChanged, this, entryHandlers[i]);
        connect(m_ui.countLabels[i], &CaptionLabel::captionChanged, this, countHandlers[i]);
        connect(m_ui.logged.faceValues[i], &CaptionLabel::captionChanged, this,
                faceValueHandlers[i]);
        connect(m_ui.latest.faceValues[i], &CaptionLabel::captionChanged, this,
                faceValueHandlers[i]);
    }

    connect(m_ui.cmdAdd, &QPushButton::clicked, this, &MainWindow::cmdAdd_Click);
    connect(m_ui.cmdClear, &QPushButton::clicked, this, &MainWindow::cmdClear_Click);
    connect(m_ui.cmdExit, &QPushButton::clicked, this, &MainWindow::cmdExit_Click);
    connect(m_ui.mnuExit, &QAction::triggered, this, &MainWindow::mnuExit_Click);
    connect(m_ui.mnuBackUpNow, &QAction::triggered, this, &MainWindow::mnuBackUpNow_Click);
    connect(m_ui.mnuRestoreFromBackup, &QAction::triggered, this,
            &MainWindow::mnuRestoreFromBackup_Click);
    connect(m_ui.mnuDeleteBackups, &QAction::triggered, this, &MainWindow::mnuDeleteBackups_Click);
    connect(m_ui.mnuDeleteLogs, &QAction::triggered, this, &MainWindow::mnuDeleteLogs_Click);
    connect(m_ui.mnuQuickHelp, &QAction::triggered, this, &MainWindow::mnuQuickHelp_Click);
    connect(m_ui.mnuRegistration, &QAction::triggered, this, &MainWindow::mnuRegistration_Click);
    connect(m_ui.mnuAbout, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
    connect(m_ui.mnuBugs, &QAction::triggered, this, &MainWindow::mnuBugs_Click);

    // The buttons' access keys work on every tab. On the first the buttons take
    // them themselves; elsewhere they are hidden, and these stand in for them.
    for (QPushButton* button : {m_ui.cmdAdd, m_ui.cmdClear, m_ui.cmdExit}) {
        auto* key = new QShortcut(QKeySequence::mnemonic(button->text()), this);
        key->setEnabled(false);
        connect(key, &QShortcut::activated, button, &QPushButton::click);
        connect(m_ui.SSTab1->tabBar(), &QTabBar::currentChanged, key,
                [this, key, button] { key->setEnabled(!button->isVisibleTo(this)); });
    }
}

void MainWindow::start()
{
    Form_Load();
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
    const store::ReadResult read = m_store.read(logFileName());
    const QString shownName = QFileInfo(m_store.pathOf(logFileName())).fileName();
    if (read.status != store::ReadResult::Status::Read) {
        const QString reason = !seeded.ok ? seeded.error : read.error;
        m_startMessage =
            QStringLiteral("Cannot read the log file %1: %2\n\nThe Logged Finds start at zero.  "
                           "The file has not been changed.")
                .arg(shownName, reason.isEmpty() ? QStringLiteral("the file is missing") : reason);
        return;
    }

    setLoggedCaptions(read.contents.captions);

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

tally::PerDenomination<QString> MainWindow::entryTexts() const
{
    tally::PerDenomination<QString> texts;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        texts[i] = m_ui.entryBoxes[i]->text();
    return texts;
}

tally::PerDenomination<QString> MainWindow::loggedTexts() const
{
    tally::PerDenomination<QString> texts;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        texts[i] = m_ui.countLabels[i]->text();
    return texts;
}

void MainWindow::render(const FrameLabels& frame, const tally::PerDenomination<QString>& countTexts)
{
    tally::PerDenomination<std::string> texts;
    tally::PerDenomination<std::string_view> views;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        views[i] = texts[i] = toStd(countTexts[i]);
    const tally::FrameFigures figures = tally::FrameFigures::of(views);
    // A face value that changes runs its own handler, which brings both totals up
    // to date; the other captions have no handler.
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        frame.faceValues[i]->setText(toQString(figures.faceValues[i]));
    frame.coinTotal->setText(toQString(figures.coinTotal));
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        frame.shares[i]->setText(toQString(figures.shares[i]));
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
    }
    render(m_ui.latest, entryTexts());
}

void MainWindow::onCountChange(std::size_t)
{
    render(m_ui.logged, loggedTexts());
}

void MainWindow::onFaceValueChange()
{
    for (const FrameLabels* frame : {&m_ui.logged, &m_ui.latest}) {
        tally::PerDenomination<std::string> captions;
        tally::PerDenomination<std::string_view> views;
        for (std::size_t i = 0; i < kDenominationCount; ++i)
            views[i] = captions[i] = toStd(frame->faceValues[i]->text());
        frame->totalFaceValue->setText(toQString(tally::totalFaceValueText(views)));
    }
}

void MainWindow::cmdAdd_Click()
{
    // Check everything before changing anything, so a bad box logs nothing at all.
    std::array<double, kDenominationCount> entries{};
    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        QLineEdit* box = m_ui.entryBoxes[i];
        const auto entry = tally::normalisedEntry(toStd(box->text()));
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

    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        const double logged = tally::leadingNumber(toStd(m_ui.countLabels[i]->text()));
        m_ui.countLabels[i]->setText(toQString(tally::generalNumberText(logged + entries[i])));
    }

    cmdClear_Click();
}

void MainWindow::cmdClear_Click()
{
    for (QLineEdit* box : m_ui.entryBoxes)
        box->setText(QStringLiteral("0"));
}

std::array<std::string, kDenominationCount> MainWindow::loggedCaptions() const
{
    std::array<std::string, kDenominationCount> captions;
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        captions[i] = toStd(m_ui.countLabels[i]->text());
    return captions;
}

void MainWindow::setLoggedCaptions(const std::array<std::string, kDenominationCount>& captions)
{
    for (std::size_t i = 0; i < kDenominationCount; ++i)
        m_ui.countLabels[i]->setText(toQString(captions[i]));
}

QString MainWindow::writeFailure(const QString& fileName) const
{
    const store::StoreResult result = m_store.write(fileName, loggedCaptions());
    if (result.ok)
        return QString();
    return QStringLiteral("Cannot write %1: %2")
        .arg(QFileInfo(m_store.pathOf(fileName)).fileName(), result.error);
}

void MainWindow::cmdExit_Click()
{
    const QString failure = writeFailure(logFileName());
    if (failure.isEmpty()) {
        endProgram();
        return;
    }
    MessageBox::inform(this,
                       failure + QStringLiteral("\n\nYour logged finds are still shown and nothing "
                                                "was lost.  The file on disk was not changed."),
                       QMessageBox::Warning);
}

void MainWindow::mnuExit_Click()
{
    endProgram();
}

void MainWindow::endProgram()
{
    emit programEnding();
    QApplication::closeAllWindows();
    // quit() does nothing unless the main loop runs, so a test that watched the
    // program end can still wait for events afterwards.
    QCoreApplication::quit();
}

QStringList MainWindow::writeLogAndBackup() const
{
    // Both files are always tried, so a log that cannot be written still gets its
    // backup and the other way round.
    QStringList failures;
    for (const QString& name : {logFileName(), backupFileName()}) {
        const QString failure = writeFailure(name);
        if (!failure.isEmpty())
            failures << failure;
    }
    return failures;
}

bool MainWindow::removeAndReport(const QString& fileName, const QString& removedText,
                                 QMessageBox::Icon removedIcon, const QString& removedTitle,
                                 const QString& missingText)
{
    const store::RemoveResult removed = m_store.remove(fileName);
    switch (removed.status) {
    case store::RemoveResult::Status::Removed:
        MessageBox::inform(this, removedText, removedIcon, removedTitle);
        return true;
    case store::RemoveResult::Status::Missing:
        MessageBox::inform(this, missingText);
        return false;
    case store::RemoveResult::Status::Failed:
        break;
    }
    // Anything but a missing file is said as it is, never as "there is no file".
    MessageBox::inform(this,
                       QStringLiteral("Cannot delete %1: %2\n\nThe file is still there.")
                           .arg(QFileInfo(m_store.pathOf(fileName)).fileName(), removed.error),
                       QMessageBox::Warning);
    return false;
}

void MainWindow::mnuBackUpNow_Click()
{
    const QStringList failures = writeLogAndBackup();
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
    const store::ReadResult backup = m_store.read(backupFileName());
    // Only a complete backup is restored: half of one would mix two tallies.
    if (backup.status != store::ReadResult::Status::Read ||
        backup.contents.itemsFound < store::kItemCount) {
        MessageBox::inform(this, QStringLiteral("There are no backup files to restore."));
        return;
    }
    setLoggedCaptions(backup.contents.captions);
    const QString damage = damageReport(backup.contents, backupFileName());
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
    const QStringList failures = writeLogAndBackup();
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
    removeAndReport(backupFileName(), QStringLiteral("Backup file(s) have been DELETED."),
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
    if (removeAndReport(logFileName(), QStringLiteral("Log file(s) have been DELETED."),
                        QMessageBox::Warning, QStringLiteral("Status of Operation"),
                        QStringLiteral("There are no LOG files to delete.")))
        setLoggedCaptions(kZeroCaptions);
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
