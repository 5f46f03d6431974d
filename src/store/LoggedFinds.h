#pragma once

#include "store/LogStore.h"

namespace store {

// An outing logged, or the first entry that is no number, after which nothing changed.
struct LogOutcome
{
    enum class Kind
    {
        Logged,
        NotANumber
    };
    Kind kind;
    std::size_t entry = 0; // NotANumber: which
    Captions entries;      // Logged: each entry as it was added
};

// Only a complete backup is restored: half of one would mix two tallies.
struct RestoreOutcome
{
    enum class Kind
    {
        Restored,
        Missing // none, unreadable or incomplete
    };
    Kind kind;
    LogContents contents; // Restored: item by item, the damaged ones among them
};

// The Logged Finds of one window: the counts as shown, and what the log held when this
// window last read or wrote it, so that a save never loses what another window saved
// meanwhile. Every file operation of the window goes through here.
class LoggedFinds
{
public:
    enum class Choice
    {
        KeepBoth,
        Overwrite
    };

    explicit LoggedFinds(const QString& directory = QStringLiteral("."));

    const Captions& counts() const { return m_counts; }
    // Whether the counts differ from what this window last read from or wrote to the log.
    bool hasUnsavedFinds() const;
    // A file's name as found on disk, in whatever letter case it has there.
    QString nameOnDisk(const char* fileName) const;

    // Seeds the log with zeros when there is none, then reads it.
    LoadOutcome load();
    // Adds an outing's entries, each by its whole part with its sign, once all are numbers.
    LogOutcome log(const Captions& entries);

    // Writes the counts to the log if it still holds what this window expects.
    SaveOutcome save();
    // After Changed, writes what the user chose over what the log holds now; the log may
    // have changed once more meanwhile.
    SaveOutcome saveOver(const SaveOutcome& changed, Choice choice);
    // For the end of the session, which leaves no time for a question: unsaved finds are
    // saved keeping every window's.
    SaveOutcome saveKeepingBoth();

    FileOutcome writeBackup();
    // Shows the backup's counts; nothing is written.
    RestoreOutcome restore();
    // Done: the counts start at zero again, and none of them is unsaved.
    FileOutcome deleteLog();
    FileOutcome deleteBackup();

private:
    SaveOutcome write(const LogState& expected, const Captions& counts);

    LogStore m_store;
    Captions m_counts;
    LogState m_base;
};

} // namespace store
