#include "store/LoggedFinds.h"

#include "tally/NumberRules.h"

#include <QFileInfo>

namespace store {

LoggedFinds::LoggedFinds(const QString& directory)
    : m_store(directory), m_counts(LogFormat::zeros())
{
}

bool LoggedFinds::hasUnsavedFinds() const
{
    // Right after this window deleted the log there is none, and nothing is unsaved.
    return m_counts != m_base.value_or(LogFormat::zeros());
}

QString LoggedFinds::nameOnDisk(const char* fileName) const
{
    return QFileInfo(m_store.pathOf(QString::fromLatin1(fileName))).fileName();
}

LoadOutcome LoggedFinds::load()
{
    LoadOutcome loaded = m_store.load();
    if (loaded.kind == LoadOutcome::Kind::Read)
        m_base = m_counts = loaded.contents.captions;
    return loaded;
}

LogOutcome LoggedFinds::log(const Captions& entries)
{
    std::array<double, tally::kDenominationCount> values{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::optional<double> entry = tally::normalisedEntry(entries[i]);
        if (!entry)
            return {LogOutcome::Kind::NotANumber, i, {}};
        // Three characters make at most 9e9, and every logged count reads back as a
        // finite number, so no sum can leave the double range.
        values[i] = *entry;
    }
    LogOutcome logged{LogOutcome::Kind::Logged, 0, {}};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        logged.entries[i] = tally::generalNumberText(values[i]);
        m_counts[i] = tally::generalNumberText(tally::leadingNumber(m_counts[i]) + values[i]);
    }
    return logged;
}

// Another window (or another computer, on a shared folder) may have logged finds and
// saved them since this one read the log. The counts are running sums, so what this
// window added is what it shows less what it read, and writing that on top of the
// file's counts keeps the finds of both.
SaveOutcome LoggedFinds::write(const LogState& expected, const Captions& counts)
{
    SaveOutcome saved = m_store.saveLog(expected, counts);
    if (saved.kind == SaveOutcome::Kind::Changed) {
        saved.keptBoth = LogFormat::merged(m_base, m_counts, saved.onDisk);
        return saved;
    }
    m_base = saved.onDisk;
    m_counts = counts;
    return saved;
}

SaveOutcome LoggedFinds::save()
{
    return write(m_base, m_counts);
}

SaveOutcome LoggedFinds::saveOver(const SaveOutcome& changed, Choice choice)
{
    return write(changed.onDisk, choice == Choice::KeepBoth ? changed.keptBoth : m_counts);
}

SaveOutcome LoggedFinds::saveKeepingBoth()
{
    if (!hasUnsavedFinds())
        return {SaveOutcome::Kind::NothingToSave, {}, {}, {}};
    SaveOutcome outcome = save();
    while (outcome.kind == SaveOutcome::Kind::Changed)
        outcome = saveOver(outcome, Choice::KeepBoth);
    return outcome;
}

FileOutcome LoggedFinds::writeBackup()
{
    return m_store.write(QString::fromLatin1(kBackupFileName), m_counts);
}

RestoreOutcome LoggedFinds::restore()
{
    const ReadResult backup = m_store.read(QString::fromLatin1(kBackupFileName));
    if (backup.status != ReadResult::Status::Read ||
        backup.contents.itemsFound < tally::kDenominationCount)
        return {RestoreOutcome::Kind::Missing, {}};
    m_counts = backup.contents.captions;
    return {RestoreOutcome::Kind::Restored, backup.contents};
}

FileOutcome LoggedFinds::deleteLog()
{
    const FileOutcome removed = m_store.remove(QString::fromLatin1(kLogFileName));
    if (removed.kind == FileOutcome::Kind::Done) {
        m_base.reset(); // the next save replaces nothing
        m_counts = LogFormat::zeros();
    }
    return removed;
}

FileOutcome LoggedFinds::deleteBackup()
{
    return m_store.remove(QString::fromLatin1(kBackupFileName));
}

} // namespace store
