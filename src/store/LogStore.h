#pragma once

#include "store/LogFormat.h"

#include <QString>

namespace store {

inline constexpr char kLogFileName[] = "Basic.LOG";
inline constexpr char kBackupFileName[] = "Basic.LOG.Backup";

// Every operation reports success or the operating system's reason; the caller
// decides how to word it for the user.
struct StoreResult
{
    QString error; // empty when ok

    bool ok() const { return error.isEmpty(); }
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

struct SeedResult
{
    enum class Status
    {
        Present,      // it existed and opens for reading
        Created,      // it was missing and has been written in the seed form
        CannotCreate, // it was missing and writing it failed
        CannotRead    // it exists but does not open for reading
    };
    Status status = Status::CannotRead;
    QString error; // reason when CannotCreate or CannotRead
};

struct SaveResult
{
    enum class Status
    {
        Written,
        Changed, // the log no longer holds what was expected; nothing was written
        Failed
    };
    Status status = Status::Failed;
    // What the log holds now, as LogFormat::parse gives it. Changed: what another program
    // left there. Written: what was just written. Failed: `expected` as nothing was
    // written, or what was written when only the directory's sync failed (the log was
    // replaced all the same). After Written or Failed: what to expect at the next save.
    LogState onDisk;
    QString error; // reason when Failed
};

struct RemoveResult
{
    enum class Status
    {
        Removed,
        Missing,
        Failed
    };
    Status status = Status::Failed;
    QString error; // reason when Failed
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
    // before the rename the old file stays whole and the reason is returned. Success is
    // told only once the rename is on disk (the directory synced).
    StoreResult write(const QString& fileName, const Captions& captions) const;

    // Writes the log as write() does, but only if it still holds `expected` (compared
    // as parsed, so an absent log matches only nothing); otherwise returns Changed with
    // what it holds. The check and the write are made under a lock file beside the log,
    // so that two saves cannot interleave; a lock whose holder is gone does not stop it.
    SaveResult saveLog(const LogState& expected, const Captions& captions) const;

    // Creates the log in the seed form only when no file of that name exists;
    // an existing file, readable or not, is never touched.
    SeedResult ensureLogSeeded() const;

    RemoveResult remove(const QString& fileName) const;

private:
    QString m_directory;
};

} // namespace store
