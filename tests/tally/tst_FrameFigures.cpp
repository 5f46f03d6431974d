#include "tally/FrameFigures.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTest>

using namespace tally;

class TestFrameFigures : public QObject
{
    Q_OBJECT

private slots:
    // Six count texts in; the face values, coin total, shares and total face value out.
    void figuresOfSixCounts_data()
    {
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QString>("figures");
        const auto row = [](const char* counts, const char* figures) {
            QTest::newRow(counts) << QString(counts) << QString(figures);
        };
        const char* const zeros = "$0.00 $0.00 $0.00 $0.00 $0.00 $0.00 0 0.00% 0.00% 0.00% 0.00% "
                                  "0.00% 0.00% $0.00";
        row("0|0|0|0|0|0", zeros);
        row("0|0|0|2|0|1", "$0.00 $0.00 $0.00 $0.20 $0.00 $0.01 3 0.00% 0.00% 0.00% 66.67% 0.00% "
                           "33.33% $0.21");
        row("1|1|1|1|1|1", "$1.00 $0.50 $0.25 $0.10 $0.05 $0.01 6 16.67% 16.67% 16.67% 16.67% "
                           "16.67% 16.67% $1.91");
        row("1234|7|0|0|0|0", "$1234.00 $3.50 $0.00 $0.00 $0.00 $0.00 1241 99.44% 0.56% 0.00% "
                              "0.00% 0.00% 0.00% $1237.50");
        row("0|0|-5|2.9|0|1e3", "$0.00 $0.00 $1.25 $0.20 $0.00 $10.00 1007 0.00% 0.00% 0.50% "
                                "0.20% 0.00% 99.30% $11.45");
        row("0|0|0|1|31|0", "$0.00 $0.00 $0.00 $0.10 $1.55 $0.00 32 0.00% 0.00% 0.00% 3.13% "
                            "96.88% 0.00% $1.65");
        row("x|| |-|.|5", "$0.00 $0.00 $0.00 $0.00 $0.00 $0.05 5 0.00% 0.00% 0.00% 0.00% 0.00% "
                          "100.00% $0.05");
        // Shares divide by the 15-digit caption of the total, not by the exact sum.
        row("1e15|0|0|0|0|1", "$1000000000000000.00 $0.00 $0.00 $0.00 $0.00 $0.01 1E+15 100.00% "
                              "0.00% 0.00% 0.00% 0.00% 0.00% $1000000000000000.00");
        row("1e308|1e308|0|0|0|0", "$10{308}.00 $50{307}.00 $0.00 $0.00 $0.00 $0.00 Overflow "
                                   "Overflow Overflow 0.00% 0.00% 0.00% 0.00% $150{307}.00");
    }
    void figuresOfSixCounts()
    {
        QFETCH(QString, counts);
        const QStringList texts = counts.split('|');
        std::string storage[6];
        PerDenomination<std::string_view> views;
        for (std::size_t i = 0; i < views.size(); ++i)
            views[i] = storage[i] = texts[int(i)].toStdString();
        const FrameFigures figures = FrameFigures::of(views);
        QStringList shown;
        for (const std::string& text : figures.faceValues)
            shown << QString::fromStdString(text);
        shown << QString::fromStdString(figures.coinTotal);
        for (const std::string& text : figures.shares)
            shown << QString::fromStdString(text);
        shown << QString::fromStdString(figures.totalFaceValue);
        // A run of twenty zeros or more is written 0{length}, so that a row stays short.
        QString written = shown.join(' ');
        for (QRegularExpressionMatch run;
             (run = QRegularExpression("0{20,}").match(written)).hasMatch();)
            written.replace(run.capturedStart(), run.capturedLength(),
                            QStringLiteral("0{%1}").arg(run.capturedLength()));
        QTEST(written, "figures");
    }

    // The total reads the captions shown, and Log Finds takes an entry's whole part.
    void totalAndEntries()
    {
        QCOMPARE(totalFaceValueText({"$1.25", "$0.50", "", "$0.10", "#2", "$0.01"}), "$3.86");
        QCOMPARE(totalFaceValueText({"$1.25", "Overflow", "$0", "$0", "$0", "$0"}), "Overflow");
        QCOMPARE(normalisedEntry("-2.5"), -3.0);
        QCOMPARE(normalisedEntry("1234567890123456"), 1.23456789012346e15);
        QCOMPARE(normalisedEntry("x1"), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestFrameFigures)
#include "tst_FrameFigures.moc"
