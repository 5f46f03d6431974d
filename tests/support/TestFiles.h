#pragma once

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
