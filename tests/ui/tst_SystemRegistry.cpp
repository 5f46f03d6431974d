#include "VisibleWindows.h"
#include "support/TempWorkDir.h"
#include "ui/AboutDialog.h"
#include "ui/MessageBox.h"
#include "ui/SystemRegistry.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
const QByteArray toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr quint32 keyRead = 0x20019;

struct Query
{
    long result;
    quint32 type;
    quint32 size;
    QByteArray stored;
};

Query query(Registry& registry, Registry::Key key, const QByteArray& name,
            quint32 bufferSize = 1024)
{
    QByteArray buffer(bufferSize, 'x');
    Query answer{0, 0, bufferSize, {}};
    answer.result = registry.queryValue(key, name, &answer.type, buffer.data(), &answer.size);
    answer.stored = buffer.left(qMin(answer.size, bufferSize));
    return answer;
}
} // namespace

class tst_SystemRegistry : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pathNamesTheFirstInstalledTool_data();
    void pathNamesTheFirstInstalledTool();
    void onlyThePathValueOfTheToolKeyExists_data();
    void onlyThePathValueOfTheToolKeyExists();
    void tooSmallABufferAsksForMore();
    void findFileMatchesPlainFilesWithoutRegardToCase();
    void startsProgramsWithoutWaiting();
    void aboutBoxStartsTheInstalledTool();

private:
    // An executable script in the work directory that leaves a mark when run.
    QString addTool(const QString& name);
    QString markOf(const QString& name) const { return m_work->filePath(name + ".ran"); }

    TempWorkDir* m_work = nullptr;
    QByteArray m_path;
};

void tst_SystemRegistry::init()
{
    MessageBox::clear();
    m_path = qgetenv("PATH");
    m_work = new TempWorkDir;
    // Only the tools a test installs are to be found.
    qputenv("PATH", QFile::encodeName(m_work->path()));
}

void tst_SystemRegistry::cleanup()
{
    qputenv("PATH", m_path);
    delete m_work;
    m_work = nullptr;
    const QStringList open = closeWindowsLeftOpen();
    QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1String(", "))));
    QVERIFY(!MessageBox::hasQueuedAnswers());
}

QString tst_SystemRegistry::addTool(const QString& name)
{
    const QString path = m_work->filePath(name);
    m_work->write(name, "#!/bin/sh\necho ran > '" + QFile::encodeName(markOf(name)) + "'\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    return path;
}

void tst_SystemRegistry::pathNamesTheFirstInstalledTool_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("chosen"); // empty: the key is absent

    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("hardinfo") << QStringList{"hardinfo"} << "hardinfo";
    QTest::newRow("hardinfo2 before hardinfo")
        << QStringList{"hardinfo", "hardinfo2"} << "hardinfo2";
    QTest::newRow("gnome-system-monitor before hardinfo2")
        << QStringList{"hardinfo2", "gnome-system-monitor"} << "gnome-system-monitor";
    QTest::newRow("kinfocenter first")
        << QStringList{"hardinfo", "hardinfo2", "gnome-system-monitor", "kinfocenter"}
        << "kinfocenter";
    QTest::newRow("unknown tools count for nothing") << QStringList{"msinfo32", "top"} << QString();
}

void tst_SystemRegistry::pathNamesTheFirstInstalledTool()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, chosen);
    for (const QString& name : installed)
        addTool(name);

    SystemRegistry registry;
    Registry::Key key = 0;
    const long opened = registry.openKey(Registry::LocalMachine, toolKey, 0, keyRead, &key);
    if (chosen.isEmpty()) {
        QCOMPARE(opened, Registry::FileNotFound);
        return;
    }
    QCOMPARE(opened, Registry::Success);

    const Query path = query(registry, key, "PATH");
    QCOMPARE(path.result, Registry::Success);
    QCOMPARE(path.type, Registry::TextValue);
    QCOMPARE(path.stored, QFile::encodeName(m_work->filePath(chosen)) + '\0');

    QCOMPARE(registry.closeKey(key), Registry::Success);
    QCOMPARE(registry.closeKey(key), Registry::InvalidHandle);
    QCOMPARE(query(registry, key, "PATH").result, Registry::InvalidHandle);
}

void tst_SystemRegistry::onlyThePathValueOfTheToolKeyExists_data()
{
    QTest::addColumn<Registry::Key>("root");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<long>("opened");
    QTest::addColumn<long>("queried");

    const Registry::Key local = Registry::LocalMachine;
    QTest::newRow("names in other case") << local << toolKey.toLower() << QByteArray("path")
                                         << Registry::Success << Registry::Success;
    QTest::newRow("other value") << local << toolKey << QByteArray("MSINFO") << Registry::Success
                                 << Registry::FileNotFound;
    QTest::newRow("location key") << local
                                  << QByteArray("SOFTWARE\\Microsoft\\Shared Tools Location")
                                  << QByteArray("MSINFO") << Registry::FileNotFound << 0L;
    QTest::newRow("other root") << Registry::Key(0x80000001) << toolKey << QByteArray("PATH")
                                << Registry::FileNotFound << 0L;
}

void tst_SystemRegistry::onlyThePathValueOfTheToolKeyExists()
{
    QFETCH(Registry::Key, root);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, value);
    QFETCH(long, opened);
    QFETCH(long, queried);

    addTool(QStringLiteral("hardinfo"));
    SystemRegistry registry;
    Registry::Key key = 0;
    QCOMPARE(registry.openKey(root, path, 0, keyRead, &key), opened);
    if (opened != Registry::Success)
        return;
    QCOMPARE(query(registry, key, value).result, queried);
    QCOMPARE(registry.closeKey(key), Registry::Success);
}

void tst_SystemRegistry::tooSmallABufferAsksForMore()
{
    const QString tool = addTool(QStringLiteral("hardinfo"));
    SystemRegistry registry;
    Registry::Key key = 0;
    QCOMPARE(registry.openKey(Registry::LocalMachine, toolKey, 0, keyRead, &key),
             Registry::Success);
    const Query path = query(registry, key, "PATH", 4);
    QCOMPARE(path.result, Registry::MoreData);
    QCOMPARE(path.size, quint32(QFile::encodeName(tool).size() + 1));
    QCOMPARE(path.stored, QByteArray("xxxx")); // nothing stored
    QCOMPARE(registry.closeKey(key), Registry::Success);
}

void tst_SystemRegistry::findFileMatchesPlainFilesWithoutRegardToCase()
{
    m_work->write(QStringLiteral("msinfo32.exe"), "");
    QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("Folder.exe")));
    const QString dir = m_work->path();

    SystemRegistry registry;
    QCOMPARE(registry.findFile(dir + QStringLiteral("\\MSINFO32.EXE")),
             QStringLiteral("msinfo32.exe"));
    QCOMPARE(registry.findFile(dir + QStringLiteral("/msinfo32.exe")),
             QStringLiteral("msinfo32.exe"));
    QCOMPARE(registry.findFile(dir + QStringLiteral("\\Folder.exe")), QString());
    QCOMPARE(registry.findFile(dir + QStringLiteral("\\missing.exe")), QString());
    QCOMPARE(registry.findFile(dir + QStringLiteral("/nowhere\\MSINFO32.EXE")), QString());
}

void tst_SystemRegistry::startsProgramsWithoutWaiting()
{
    const QString tool = addTool(QStringLiteral("hardinfo"));
    SystemRegistry registry;
    QVERIFY(registry.startProgram(tool));
    QTRY_VERIFY(QFile::exists(markOf(QStringLiteral("hardinfo"))));

    QVERIFY(!registry.startProgram(QString()));
    QVERIFY(!registry.startProgram(m_work->filePath(QStringLiteral("missing"))));
}

void tst_SystemRegistry::aboutBoxStartsTheInstalledTool()
{
    addTool(QStringLiteral("gnome-system-monitor"));
    addTool(QStringLiteral("hardinfo"));
    auto* box = new AboutDialog;
    MessageBox::setNextAnswer(MessageBox::Ok); // a wrong box must not block the test
    box->StartSysInfo();
    delete box;
    QTRY_VERIFY(QFile::exists(markOf(QStringLiteral("gnome-system-monitor"))));
    QVERIFY(MessageBox::history().isEmpty());
    MessageBox::clear();
    QVERIFY(!QFile::exists(markOf(QStringLiteral("hardinfo"))));
}

QTEST_MAIN(tst_SystemRegistry)
#include "tst_SystemRegistry.moc"
