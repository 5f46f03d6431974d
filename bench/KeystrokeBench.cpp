// Keystroke to figures: a digit typed over the pennies box's text, up to the
// return of the program's handlers, which leave every Latest Finds figure
// current; the same keystroke into a bare QLineEdit, for what the box itself
// costs; and Log Finds. bench/run.sh runs it with -median.
#include "tally/NumberRules.h"
#include "ui/MainWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class KeystrokeBench : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keystroke_data();
    void keystroke();
    void logFinds();

private:
    template <typename T> T* child(const char* name)
    {
        T* found = m_window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control named %s", name);
        return found;
    }
    std::string text(const char* label) { return child<QLabel>(label)->text().toStdString(); }

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void KeystrokeBench::initTestCase()
{
    QVERIFY(QFile::copy(QStringLiteral(ZOREDEV_SAMPLE_LOG), m_dir.filePath("Basic.LOG")));
    m_window = std::make_unique<MainWindow>(m_dir.path());
    m_window->start();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void KeystrokeBench::keystroke_data()
{
    QTest::addColumn<bool>("bare");
    QTest::newRow("txtPennies") << false;
    QTest::newRow("bare QLineEdit") << true;
}

void KeystrokeBench::keystroke()
{
    QFETCH(bool, bare);
    QLineEdit plain(QStringLiteral("0"));
    QLineEdit* box = bare ? &plain : child<QLineEdit>("txtPennies");
    if (bare) {
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
    }
    box->setFocus(Qt::OtherFocusReason);
    int typed = 0;
    QBENCHMARK {
        box->selectAll();
        QTest::keyClick(box, char('1' + typed++ % 9));
    }
    if (bare)
        return;
    // The other boxes hold 0, so the pennies alone make the totals.
    const double pennies = tally::countOrZero(box->text().toStdString());
    QCOMPARE(text("lblTotalCoinsFound"), tally::generalNumberText(pennies));
    QCOMPARE(text("lblTotalFaceValue_1"), tally::moneyText(pennies / 100));
}

void KeystrokeBench::logFinds()
{
    QLineEdit* box = child<QLineEdit>("txtPennies");
    const double before = tally::leadingNumber(text("lblPennies_0"));
    QPushButton* add = child<QPushButton>("cmdAdd");
    int clicks = 0;
    QBENCHMARK {
        box->setText(QStringLiteral("5"));
        QTest::mouseClick(add, Qt::LeftButton);
        ++clicks;
    }
    QCOMPARE(text("lblPennies_0"), tally::generalNumberText(before + 5.0 * clicks));
}

QTEST_MAIN(KeystrokeBench)
#include "KeystrokeBench.moc"
