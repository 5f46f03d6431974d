#pragma once

#include "store/LogFormat.h"

#include <QString>

namespace store {

inline constexpr char kLogFileName[] = "Basic.LOG";
inline constexpr char kBackupFileName[] = "Basic.LOG.Backup";

// What became of writing or deleting one file.
struct FileOutcome
{
    enum class Kind
    {
        Done,
        Missing, // there was no such file
        Failed
    };
    Kind kind;
    QString reason; // Failed: the system's
};

// What the log said at the start, or why it could not be had; the finds then start at
// zero and the file is left as it is.
struct LoadOutcome
{
    enum class Kind
    {
        Read,
        CannotCreate, // it was missing and could not be seeded
        CannotRead
    };
    Kind kind;
    LogContents contents; // Read: item by item, the damaged ones among them
    QString reason;       // otherwise: the system's, empty for a file gone meanwhile
};

struct ReadResult
{
    enum class Status
    {
        Read,
        Missing,
        Failed
    };
    Status status = Status::Failed;
    LogContents contents; // meaningful only when Read
    QString error;        // reason when Failed
};

struct SaveOutcome
{
    enum class Kind
    {
        Written,
        NothingToSave,
        // Another window (or program) wrote the log since this one last read or wrote
        // it; nothing was written, and the user chooses what to write over it.
        Changed,
        Failed,
        Cancelled // by the user, at Changed
    };
    Kind kind;
    QString reason; // Failed: the system's
    // What the log holds now, as LogFormat::parse gives it, nothing when there is none.
    // Changed: what another program left there. Written: what was just written. Failed:
    // what was expected, as nothing was written, or what was written when only the
    // folder's sync failed. After Written or Failed: what to expect at the next save.
    LogState onDisk;
    Captions keptBoth; // Changed: what keeping the finds of both windows writes
};

// The log and its backup in one directory. Names are matched without regard to
// letter case, so "basic.log" left by another system is the same log.
class LogStore
{
public:
    explicit LogStore(QString directory = QStringLiteral("."));

    // The existing file whose name matches without regard to case (the exact
    // spelling preferred), or the name itself in the directory when none exists.
    QString pathOf(const QString& fileName) const;

    // Reads at most LogFormat::kReadLimit bytes, and one more to learn whether the
    // file goes on; never changes the file.
    ReadResult read(const QString& fileName) const;

    // Replaces the file atomically with the save form of the captions: on any failure
    // before the rename the old file stays whole and the reason is returned. Done is
    // told only once the rename is on disk (the directory synced).
    FileOutcome write(const QString& fileName, const Captions& captions) const;

    // Writes the log as write() does, but only if it still holds `expected` (compared
    // as parsed, so an absent log matches only nothing); otherwise returns Changed with
    // what it holds. The check and the write are made under a lock file beside the log,
    // so that two saves cannot interleave; a lock whose holder is gone does not stop it.
    SaveOutcome saveLog(const LogState& expected, const Captions& captions) const;

    // Reads the log, first creating it in the seed form where no file of that name
    // exists; an existing file, readable or not, is never changed.
    LoadOutcome load() const;

    FileOutcome remove(const QString& fileName) const;

private:
    QString m_directory;
};

} // namespace store
