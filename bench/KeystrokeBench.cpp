// How long the figures of the window take to follow a change:
//   a keystroke that changes an entry box, from the key press reaching the box to
//   the return of the box's change handler, which leaves every Latest Finds figure
//   current (the check after each one fails the run otherwise);
//   "&Log  Finds" with all six boxes non-zero, from the mouse release reaching the
//   button to the return of its click handler;
//   the same keystrokes into a bare QLineEdit, for what the box itself costs.
//
//   zoredev_keystroke_bench [changes [clicks]]   (offscreen unless QT_QPA_PLATFORM says)

#include "BenchSupport.h"
#include "EventClock.h"

#include "tally/FrameFigures.h"
#include "tally/NumberRules.h"
#include "ui/CaptionLabel.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

namespace {

constexpr int kWarmUp = 200;

[[noreturn]] void fail(const char* why)
{
    std::fprintf(stderr, "zoredev_keystroke_bench: %s\n", why);
    std::exit(1);
}

std::string toStd(const QString& text)
{
    return text.toStdString();
}

// Every Latest Finds figure as the boxes now stand.
bool latestFiguresCurrent(const MainWindowUi& ui, std::size_t)
{
    tally::PerDenomination<std::string> texts;
    tally::PerDenomination<std::string_view> views;
    for (std::size_t i = 0; i < texts.size(); ++i)
        views[i] = texts[i] = toStd(ui.entryBoxes[i]->text());
    const tally::FrameFigures figures = tally::FrameFigures::of(views);
    bool current = toStd(ui.latest.coinTotal->text()) == figures.coinTotal &&
                   toStd(ui.latest.totalFaceValue->text()) == figures.totalFaceValue;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        current = current && toStd(ui.latest.shares[i]->text()) == figures.shares[i] &&
                  toStd(ui.latest.faceValues[i]->text()) == figures.faceValues[i];
    }
    return current;
}

// One keystroke that changes the box: a digit other than the one shown over the
// selected text, or every twentieth time a Backspace that empties the box, which
// its handler then resets to "0" (the deepest cascade there is).
void typeChange(QLineEdit* box, int n, std::mt19937& random)
{
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    if (n % 20 == 19) {
        QTest::keyClick(box, Qt::Key_Backspace);
        return;
    }
    char digit;
    do {
        digit = char('1' + random() % 9);
    } while (box->text() == QLatin1Char(digit));
    QTest::keyClick(box, digit);
}

void printTimes(const char* what, const std::vector<double>& us)
{
    std::printf("  %-40s %6zu  median %8.2f us  p99 %8.2f us  max %9.2f us\n", what, us.size(),
                bench::median(us), bench::percentile(us, 99),
                *std::max_element(us.begin(), us.end()));
}

std::vector<double> keystrokes(const std::vector<QLineEdit*>& boxes, int changes,
                               const std::function<void(std::size_t)>& check)
{
    EventClock pressed(QEvent::KeyPress);
    std::int64_t done = 0;
    QObject scope;
    for (QLineEdit* box : boxes) {
        pressed.watch(box);
        // Connected after the window's own handler, so it runs once that has returned.
        QObject::connect(box, &QLineEdit::textChanged, &scope,
                         [&done] { done = bench::monotonicNs(); });
    }
    std::mt19937 random(8);
    std::vector<double> us;
    for (int n = 0; n < kWarmUp + changes; ++n) {
        const std::size_t row = std::size_t(n) % boxes.size();
        done = 0;
        typeChange(boxes[row], n, random);
        if (done == 0)
            fail("a keystroke left the text as it was");
        if (n >= kWarmUp)
            us.push_back(double(done - pressed.lastNs()) / 1e3);
        check(row);
        // Let the window repaint, as it does between a person's keystrokes.
        QCoreApplication::processEvents();
    }
    return us;
}

std::vector<double> logFinds(MainWindow& window, int clicks)
{
    const MainWindowUi& ui = window.ui();
    EventClock released(QEvent::MouseButtonRelease);
    released.watch(ui.cmdAdd);
    std::int64_t done = 0;
    QObject scope;
    QObject::connect(ui.cmdAdd, &QPushButton::clicked, &scope,
                     [&done] { done = bench::monotonicNs(); });
    std::mt19937 random(3);
    std::vector<double> us;
    for (int n = 0; n < kWarmUp + clicks; ++n) {
        std::array<double, tally::kDenominationCount> expected{};
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const int entry = 1 + int(random() % 9);
            ui.entryBoxes[i]->setText(QString::number(entry));
            expected[i] = tally::leadingNumber(toStd(ui.countLabels[i]->text())) + entry;
        }
        QCoreApplication::processEvents();
        done = 0;
        QTest::mouseClick(ui.cmdAdd, Qt::LeftButton);
        if (done == 0)
            fail("Log Finds was not clicked");
        if (n >= kWarmUp)
            us.push_back(double(done - released.lastNs()) / 1e3);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (ui.countLabels[i]->text() !=
                    QString::fromStdString(tally::generalNumberText(expected[i])) ||
                ui.entryBoxes[i]->text() != QLatin1String("0"))
                fail("Log Finds left a count or a box wrong");
        }
        QCoreApplication::processEvents();
    }
    return us;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int changes = argc > 1 ? std::atoi(argv[1]) : 10'000;
    const int clicks = argc > 2 ? std::atoi(argv[2]) : 2'000;

    QTemporaryDir dir;
    QFile log(dir.filePath(QStringLiteral("Basic.LOG")));
    if (!dir.isValid() || !QDir::setCurrent(dir.path()) || !log.open(QIODevice::WriteOnly) ||
        log.write("4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n") < 0)
        fail("cannot prepare a working directory with a log");
    log.close();

    MainWindow window;
    window.start();
    if (!QTest::qWaitForWindowExposed(&window))
        fail("the window was never shown");
    window.activateWindow();
    // Focus follows the active window; without it the boxes still take the keys.
    (void)QTest::qWaitForWindowActive(&window);
    const MainWindowUi& ui = window.ui();

    const auto typed =
        keystrokes({ui.entryBoxes.begin(), ui.entryBoxes.end()}, changes, [&ui](std::size_t row) {
            if (!latestFiguresCurrent(ui, row))
                fail("a Latest Finds figure was not current");
        });
    const auto logged = logFinds(window, clicks);

    QWidget bare;
    auto* plain = new QLineEdit(QStringLiteral("0"), &bare);
    plain->setMaxLength(2);
    bare.show();
    if (!QTest::qWaitForWindowExposed(&bare))
        fail("the bare box was never shown");
    const auto bareTyped = keystrokes({plain}, changes, [](std::size_t) {});

    std::printf("figure updates (%s platform)\n", qPrintable(QGuiApplication::platformName()));
    printTimes("keystroke -> Latest Finds figures", typed);
    printTimes("Log Finds, six boxes non-zero", logged);
    printTimes("keystroke into a bare QLineEdit", bareTyped);
    return 0;
}
