#pragma once

#include <QDir>
#include <QFile>
#include <QTest>

// What readFile() gives for a file that is absent or cannot be read.
inline const QByteArray kNone = QByteArrayLiteral("(none)");

// Files of a test's own directory, read as a whole.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : kNone;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
             qPrintable(path));
}

// For putFile(): a folder in the file's place, which can be neither read nor replaced.
inline const QByteArray kDirectory = QByteArrayLiteral("(directory)");

// The file as given, a folder (kDirectory), or none at all (kNone).
inline void putFile(const QString& path, const QByteArray& bytes)
{
    QDir(path).removeRecursively();
    QFile::remove(path);
    if (bytes == kDirectory)
        QVERIFY(QDir().mkpath(path + "/in"));
    else if (bytes != kNone)
        writeFile(path, bytes);
}

// The system's own words for a folder in a file's place.
#ifdef Q_OS_WIN
inline const QString kIsFolder = qt_error_string(5 /* ERROR_ACCESS_DENIED */);
#else
inline const QString kIsFolder = qt_error_string(EISDIR);
#endif
