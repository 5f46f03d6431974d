#include "FakeRegistry.h"
#include "VisibleWindows.h"
#include "ui/AboutDialog.h"
#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <stdexcept>

namespace {
const QByteArray toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray locationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString unavailable = QStringLiteral("System Information Is Unavailable At This Time");
} // namespace

class tst_SysInfoButton : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readsOneValue_data();
    void readsOneValue();
    void missingKeyReadsNothingAndClosesNothing();
    void zeroLengthValueIsAnErrorAndStillClosesTheKey();

    void startsTheToolOrSaysItIsUnavailable_data();
    void startsTheToolOrSaysItIsUnavailable();
    void unavailableBoxHasOkOnlyNoIconAndTheProgramsTitle();

private:
    AboutDialog* box();

    std::unique_ptr<FakeRegistry> m_registry;
    QPointer<AboutDialog> m_box;
};

AboutDialog* tst_SysInfoButton::box()
{
    if (!m_box)
        m_box = new AboutDialog(m_registry.get());
    return m_box;
}

void tst_SysInfoButton::init()
{
    MessageBox::clear();
    m_registry = std::make_unique<FakeRegistry>();
}

void tst_SysInfoButton::cleanup()
{
    const QStringList open = closeWindowsLeftOpen();
    delete m_box;
    const std::unique_ptr<FakeRegistry> registry = std::move(m_registry);
    QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1String(", "))));
    QVERIFY(!MessageBox::hasQueuedAnswers());
    // Whatever the test did, no key may stay open and none may be closed twice.
    QCOMPARE(registry->keysLeftOpen(), 0);
    QCOMPARE(registry->closesOfUnopenedKeys, 0);
}

void tst_SysInfoButton::readsOneValue_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes"); // empty: the value does not exist
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("value");

    const QByteArray fits(1023, 'a');
    QTest::newRow("text with its zero")
        << 1u << QByteArray("C:\\Tools\\info.exe\0", 18) << true << "C:\\Tools\\info.exe";
    QTest::newRow("text without its zero")
        << 1u << QByteArray("C:\\Tools\\info.exe") << true << "C:\\Tools\\info.exe";
    QTest::newRow("only the last zero is dropped")
        << 1u << QByteArray("ab\0\0", 4) << true << QString::fromLatin1("ab\0", 3);
    QTest::newRow("text that fills the buffer")
        << 1u << fits + '\0' << true << QString::fromLatin1(fits);
    QTest::newRow("text one byte too long") << 1u << fits + QByteArray("b\0", 2) << false << "";
    QTest::newRow("number, top byte zero")
        << 4u << QByteArray("\x05\xAB\x12\x00", 4) << true << "&h12AB05";
    QTest::newRow("number, all four bytes")
        << 4u << QByteArray("\x78\x56\x34\x12", 4) << true << "&h12345678";
    QTest::newRow("number, small bytes keep two digits")
        << 4u << QByteArray("\x0A\x0B\x0C\x0D", 4) << true << "&h0D0C0B0A";
    QTest::newRow("other type leaves the text")
        << 3u << QByteArray("\x01\x02", 2) << true << "before";
    QTest::newRow("no such value") << 1u << QByteArray() << false << "";
}

void tst_SysInfoButton::readsOneValue()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, read);
    QFETCH(QString, value);

    m_registry->addKey(toolKey);
    if (!bytes.isEmpty())
        m_registry->addValue(toolKey, "PATH", type, bytes);

    QString keyVal = QStringLiteral("before");
    QCOMPARE(box()->GetKeyValue(Registry::LocalMachine, QString::fromLatin1(toolKey),
                                QStringLiteral("PATH"), keyVal),
             read);
    QCOMPARE(keyVal, value);
}

void tst_SysInfoButton::missingKeyReadsNothingAndClosesNothing()
{
    QString keyVal = QStringLiteral("before");
    QVERIFY(!box()->GetKeyValue(Registry::LocalMachine, QString::fromLatin1(toolKey),
                                QStringLiteral("PATH"), keyVal));
    QCOMPARE(keyVal, QString());
}

void tst_SysInfoButton::zeroLengthValueIsAnErrorAndStillClosesTheKey()
{
    m_registry->addValue(toolKey, "PATH", Registry::TextValue, QByteArray());
    QString keyVal;
    QVERIFY_THROWS_EXCEPTION(
        std::runtime_error, box()->GetKeyValue(Registry::LocalMachine, QString::fromLatin1(toolKey),
                                               QStringLiteral("PATH"), keyVal));
    QCOMPARE(m_registry->keysLeftOpen(), 0);
}

void tst_SysInfoButton::startsTheToolOrSaysItIsUnavailable_data()
{
    QTest::addColumn<bool>("toolKeyExists");
    QTest::addColumn<quint32>("pathType");
    QTest::addColumn<QByteArray>("pathBytes"); // null: no "PATH" value
    QTest::addColumn<bool>("locationKnown");
    QTest::addColumn<bool>("toolInLocation");
    QTest::addColumn<bool>("startFails");
    QTest::addColumn<QStringList>("lookups");
    QTest::addColumn<QStringList>("starts");
    QTest::addColumn<bool>("saysUnavailable");

    const QByteArray path("/opt/sysinfo/tool");
    const QString tool = QString::fromLatin1(path);
    const QString located = QStringLiteral("C:\\Tools\\MSINFO32.EXE");
    const QStringList none;

    QTest::newRow("PATH with its zero is started directly")
        << true << 1u << path + '\0' << true << true << false << none << QStringList{tool} << false;
    QTest::newRow("PATH without its zero is started directly")
        << true << 1u << path << true << true << false << none << QStringList{tool} << false;
    QTest::newRow("no tool key, tool in the location")
        << false << 1u << QByteArray() << true << true << false << QStringList{located}
        << QStringList{located} << false;
    QTest::newRow("tool key without PATH falls back to the location")
        << true << 1u << QByteArray() << true << true << false << QStringList{located}
        << QStringList{located} << false;
    QTest::newRow("PATH too long falls back to the location")
        << true << 1u << QByteArray(1100, 'a') << true << true << false << QStringList{located}
        << QStringList{located} << false;
    QTest::newRow("no tool key, location lacks the tool")
        << false << 1u << QByteArray() << true << false << false << QStringList{located} << none
        << true;
    QTest::newRow("PATH too long, no location")
        << true << 1u << QByteArray(1100, 'a') << false << false << false << none << none << true;
    QTest::newRow("neither key") << false << 1u << QByteArray() << false << false << false << none
                                 << none << true;
    QTest::newRow("empty PATH value ends at once")
        << true << 1u << QByteArray("") << true << true << false << none << none << true;
    QTest::newRow("PATH of another type starts the empty path")
        << true << 3u << QByteArray("\x01\x02\x03", 3) << true << true << false << none
        << QStringList{QString()} << true;
    QTest::newRow("tool that does not start")
        << true << 1u << path + '\0' << true << true << true << none << QStringList{tool} << true;
    QTest::newRow("located tool that does not start")
        << false << 1u << QByteArray() << true << true << true << QStringList{located}
        << QStringList{located} << true;
}

void tst_SysInfoButton::startsTheToolOrSaysItIsUnavailable()
{
    QFETCH(bool, toolKeyExists);
    QFETCH(quint32, pathType);
    QFETCH(QByteArray, pathBytes);
    QFETCH(bool, locationKnown);
    QFETCH(bool, toolInLocation);
    QFETCH(bool, startFails);
    QFETCH(QStringList, lookups);
    QFETCH(QStringList, starts);
    QFETCH(bool, saysUnavailable);

    if (toolKeyExists) {
        m_registry->addKey(toolKey);
        if (!pathBytes.isNull())
            m_registry->addValue(toolKey, "PATH", pathType, pathBytes);
    }
    if (locationKnown)
        m_registry->addText(locationKey, "MSINFO", "C:\\Tools");
    if (toolInLocation)
        m_registry->addFile(QStringLiteral("C:\\Tools\\msinfo32.exe"));
    m_registry->setStartFails(startFails);

    // Queued either way, so that an unexpected box cannot block the test.
    MessageBox::setNextAnswer(MessageBox::Ok);
    box()->StartSysInfo();

    QCOMPARE(m_registry->lookups, lookups);
    QCOMPARE(m_registry->starts, starts);
    if (saysUnavailable) {
        QCOMPARE(MessageBox::history().size(), 1);
        const MessageBox::Record& shown = MessageBox::history().first();
        QCOMPARE(shown.text, unavailable);
        QCOMPARE(shown.style, int(MessageBox::OkOnly));
        QCOMPARE(shown.title, QStringLiteral("Zoredev"));
    } else {
        QCOMPARE(MessageBox::history().size(), 0);
        MessageBox::clear();
    }
}

// The one place where a real message box is shown: it is found from a timer
// once it is up, looked at and closed by its OK button.
void tst_SysInfoButton::unavailableBoxHasOkOnlyNoIconAndTheProgramsTitle()
{
    QStringList seen; // title, text, whether OK is its only button, whether it has no icon
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!shown)
            return;
        poll.stop();
        seen = {shown->windowTitle(), shown->text(),
                QVariant(shown->standardButtons() == QMessageBox::Ok).toString(),
                QVariant(shown->icon() == QMessageBox::NoIcon).toString()};
        shown->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    box()->StartSysInfo();
    poll.stop();

    QCOMPARE(seen, (QStringList{QStringLiteral("Zoredev"), unavailable, "true", "true"}));
}

QTEST_MAIN(tst_SysInfoButton)
#include "tst_SysInfoButton.moc"
