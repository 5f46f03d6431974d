#pragma once

#include <QString>
#include <QtGlobal>

// While one lives, files in one directory sit on a disk that is full: writes into
// them get only the bytes still free and then fail with ENOSPC, or, where the
// file system finds out late, every write succeeds and the sync before the file
// is put in place fails. It works by defining write(), fsync() and fdatasync()
// in a shared library linked ahead of the C library, the same interposition an
// LD_PRELOAD shim uses, so Qt's own calls go through it and nothing needs root.
class FullDisk
{
public:
    enum class Found
    {
        AtWrite,
        AtSync
    };

    FullDisk(const QString& directory, qint64 freeBytes, Found found = Found::AtWrite);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Calls refused for want of space since this object was made: a test that
    // sees none knows its fault never struck.
    qint64 refusals() const;
};
