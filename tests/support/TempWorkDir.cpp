#include "support/TempWorkDir.h"

#include <QDir>
#include <QFile>
#include <QTest>

TempWorkDir::TempWorkDir() : m_previous(QDir::currentPath())
{
    if (!m_dir.isValid() || !QDir::setCurrent(m_dir.path()))
        qFatal("cannot enter a temporary working directory");
}

TempWorkDir::~TempWorkDir()
{
    QDir::setCurrent(m_previous);
}

QByteArray TempWorkDir::read(const QString& name) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TempWorkDir::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write a test file");
}
