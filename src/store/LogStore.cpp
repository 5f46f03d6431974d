#include "store/LogStore.h"

#include "platform/FileSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <utility>

namespace store {
namespace {

// A save holds the lock for milliseconds. A live holder keeps its lock file locked
// (flock), so QLockFile never breaks it; one whose holder is gone, with no live
// process named in it (killed before it wrote its name, or on another computer), is
// taken as stale after a second, well within the wait.
constexpr int kLockWaitMs = 3000, kStaleLockMs = 1000;

// Qt words a directory in the log's place differently for each operation; the
// system's own words are used for all of them.
QString reasonFor(const QString& path, const QString& qtReason)
{
    return QFileInfo(path).isDir() ? FileSync::folderReason() : qtReason;
}

bool isPresent(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// A FIFO or device under the log's name would block the load or never end, so
// only regular files (and directories, for the system's own reason) are opened.
QString openForReading(QFile& file)
{
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile() && !info.isDir())
        return QStringLiteral("%1 is not a regular file").arg(file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return reasonFor(file.fileName(), file.errorString());
    return {};
}

// Write to a temporary file beside the target, then rename it over the target:
// whatever fails before the rename, the old file stays whole. `placed`, if given,
// learns whether the new file was renamed into place, whatever the result.
QString replaceWith(const QString& path, const std::string& bytes, bool* placed = nullptr)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk, a size limit) shows here:
    // commit() flushes a buffered rest without noticing a short write and would
    // rename the truncated file into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return reasonFor(path, file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    // Writing on after a short write brings out the system's reason for it.
    for (qint64 done = 0; done < size;) {
        const qint64 wrote = file.write(bytes.data() + done, size - done);
        if (wrote <= 0)
            return file.errorString(); // the unsaved file goes with `file`
        done += wrote;
    }
    // QSaveFile syncs before the rename but ignores a failure; a file system that
    // only finds out at the sync that it is full (or cannot reach its disk) would
    // have the unwritten file renamed over the log.
    if (const QString reason = FileSync::flushData(file.handle()); !reason.isEmpty())
        return reason;
    if (!file.commit())
        return file.errorString();
    if (placed)
        *placed = true;
    // Only once the directory is synced too does the rename survive a power cut.
    return FileSync::flushFolder(QFileInfo(path).canonicalPath());
}

// QLockFile tells only which kind of failure it met, not the system's reason, and
// errno after it may come from any call it made since.
QString lockFailure(const QLockFile& lock)
{
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return QStringLiteral("another program keeps %1 locked").arg(lock.fileName());
    case QLockFile::PermissionError:
        return QStringLiteral("cannot create %1: %2")
            .arg(lock.fileName(), FileSync::deniedReason());
    case QLockFile::NoError:
    case QLockFile::UnknownError:
        break;
    }
    return QStringLiteral("cannot create %1").arg(lock.fileName());
}

} // namespace

LogStore::LogStore(QString directory) : m_directory(std::move(directory)) {}

QString LogStore::pathOf(const QString& fileName) const
{
    const QDir dir(m_directory);
    const QString exact = dir.filePath(fileName);
    if (isPresent(exact))
        return exact;
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return exact;
}

ReadResult LogStore::read(const QString& fileName) const
{
    ReadResult result;
    const QString path = pathOf(fileName);
    if (!isPresent(path)) {
        result.status = ReadResult::Status::Missing;
        return result;
    }
    QFile file(path);
    if (QString error = openForReading(file); !error.isEmpty()) {
        // Gone between the look and the open: removed by someone else.
        if (isPresent(path))
            result.error = std::move(error);
        else
            result.status = ReadResult::Status::Missing;
        return result;
    }

    // One byte past the limit tells the format whether the last line was cut.
    const QByteArray bytes = file.read(LogFormat::kReadLimit + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    result.contents = LogFormat::parse(std::string_view(bytes.constData(), bytes.size()));
    result.status = ReadResult::Status::Read;
    return result;
}

FileOutcome LogStore::write(const QString& fileName, const Captions& captions) const
{
    const QString reason = replaceWith(pathOf(fileName), LogFormat::saveForm(captions));
    return {reason.isEmpty() ? FileOutcome::Kind::Done : FileOutcome::Kind::Failed, reason};
}

SaveOutcome LogStore::saveLog(const LogState& expected, const Captions& captions) const
{
    const QString logName = QString::fromLatin1(kLogFileName);
    // One name for the lock whatever the log's letter case, so every window agrees on it.
    QLockFile lock(QDir(m_directory).filePath(logName + QStringLiteral(".lock")));
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs))
        return {SaveOutcome::Kind::Failed, lockFailure(lock), expected, {}};
    const ReadResult disk = read(logName);
    if (disk.status == ReadResult::Status::Failed)
        return {SaveOutcome::Kind::Failed, disk.error, expected, {}};
    const LogState onDisk =
        disk.status == ReadResult::Status::Read ? LogState(disk.contents.captions) : std::nullopt;
    if (onDisk != expected)
        return {SaveOutcome::Kind::Changed, {}, onDisk, {}};
    const std::string bytes = LogFormat::saveForm(captions);
    bool placed = false;
    const QString reason = replaceWith(pathOf(logName), bytes, &placed);
    return {reason.isEmpty() ? SaveOutcome::Kind::Written : SaveOutcome::Kind::Failed,
            reason,
            placed ? LogState(LogFormat::parse(bytes).captions) : expected,
            {}};
}

LoadOutcome LogStore::load() const
{
    const QString name = QString::fromLatin1(kLogFileName);
    const QString path = pathOf(name);
    if (!isPresent(path)) {
        const QString reason = replaceWith(path, LogFormat::seedForm());
        if (!reason.isEmpty())
            return {LoadOutcome::Kind::CannotCreate, {}, reason};
    }
    ReadResult read = LogStore::read(name);
    if (read.status == ReadResult::Status::Read)
        return {LoadOutcome::Kind::Read, std::move(read.contents), {}};
    return {LoadOutcome::Kind::CannotRead, {}, read.error};
}

FileOutcome LogStore::remove(const QString& fileName) const
{
    const QString path = pathOf(fileName);
    if (!isPresent(path))
        return {FileOutcome::Kind::Missing, {}};
    QFile file(path);
    if (file.remove())
        return {FileOutcome::Kind::Done, {}};
    if (!isPresent(path))
        return {FileOutcome::Kind::Missing, {}};
    return {FileOutcome::Kind::Failed, file.errorString()};
}

} // namespace store
