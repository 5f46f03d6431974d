#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh temporary directory made the process's working directory for the life
// of the object, so that every test finds its own empty place for Basic.LOG.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    QByteArray read(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;

private:
    QString m_previous;
    QTemporaryDir m_dir;
};
