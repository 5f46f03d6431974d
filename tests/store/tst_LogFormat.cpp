#include "store/LogFormat.h"

#include <QTest>

using store::kItemCount;
using store::LogContents;
using store::LogFormat;

namespace {

using Captions = std::array<std::string, kItemCount>;

QByteArray crlfLines(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

LogContents parse(const QByteArray& bytes)
{
    return LogFormat::parse(std::string_view(bytes.constData(), bytes.size()));
}

QStringList captionsOf(const LogContents& contents)
{
    QStringList list;
    for (const std::string& caption : contents.captions)
        list << QString::fromStdString(caption);
    return list;
}

// One character per item, '1' for a valid one, so a table row reads at a glance.
QString validityOf(const LogContents& contents)
{
    QString mask;
    for (bool valid : contents.valid)
        mask += valid ? QLatin1Char('1') : QLatin1Char('0');
    return mask;
}

// A line of leading zeros ending in "5" whose last character sits just before
// `end`: a valid number however long it is.
QByteArray zerosThenFive(std::size_t end)
{
    return QByteArray(static_cast<qsizetype>(end - 1), '0') + '5';
}

constexpr std::size_t kLimit = LogFormat::kReadLimit;

} // namespace

class TestLogFormat : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void parseLooksNoFurtherThanTheReadLimit_data();
    void parseLooksNoFurtherThanTheReadLimit();
    void rawItemsQuoteWhatWasFound();
    void saveFormIsTheCaptionsWithCrLf();
    void saveFormAddsNothingToACaption();
    void seedFormIsSixBlankZeroBlankLines();
    void seedLoadedThenSavedGivesSixZeroLines();
    void savedCaptionsLoadBackUnchanged_data();
    void savedCaptionsLoadBackUnchanged();
};

void TestLogFormat::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("valid");
    QTest::addColumn<int>("itemsFound");

    const QStringList counts{"4", "1", "22", "37", "19", "250"};
    const QStringList zeros{"0", "0", "0", "0", "0", "0"};

    QTest::newRow("six CR LF lines")
        << crlfLines({"4", "1", "22", "37", "19", "250"}) << counts << "111111" << 6;
    QTest::newRow("bare LF") << QByteArray("4\n1\n22\n37\n19\n250\n") << counts << "111111" << 6;
    QTest::newRow("CR LF and LF mixed")
        << QByteArray("4\r\n1\n22\r\n37\n19\n250\r\n") << counts << "111111" << 6;
    QTest::newRow("no newline after the last item")
        << QByteArray("4\r\n1\r\n22\r\n37\r\n19\r\n250") << counts << "111111" << 6;
    QTest::newRow("blanks around items")
        << crlfLines({" 4", "1 ", "\t22\t", "  37  ", " \t19", "250 \t "}) << counts << "111111"
        << 6;
    QTest::newRow("seed form") << crlfLines({" 0 ", " 0 ", " 0 ", " 0 ", " 0 ", " 0 "}) << zeros
                               << "111111" << 6;
    QTest::newRow("general number text")
        << crlfLines({" 12 ", "2.5", "1e3", "-7", "+007", "1e308"})
        << QStringList{"12", "2.5", "1000", "-7", "7", "1E+308"} << "111111" << 6;
    QTest::newRow("large counts")
        << crlfLines({"40000", "40000", "40000", "40000", "40000", "40000"})
        << QStringList{"40000", "40000", "40000", "40000", "40000", "40000"} << "111111" << 6;
    QTest::newRow("more than six lines")
        << crlfLines({"4", "1", "22", "37", "19", "250", "junk", "99"}) << counts << "111111" << 6;
    QTest::newRow("fewer than six items")
        << crlfLines({"4", "1", "22"}) << QStringList{"4", "1", "22", "0", "0", "0"} << "111000"
        << 3;
    QTest::newRow("empty file") << QByteArray() << zeros << "000000" << 0;
    QTest::newRow("only a line end") << QByteArray("\r\n") << zeros << "000000" << 1;
    QTest::newRow("blank line between items")
        << crlfLines({"4", "", "22", "   ", "19", "250"})
        << QStringList{"4", "0", "22", "0", "19", "250"} << "101011" << 6;
    QTest::newRow("text items") << crlfLines({"abc", "12abc", "1,5", "\"5\"", "$3", "- 4"}) << zeros
                                << "000000" << 6;
    QTest::newRow("beyond the double range")
        << crlfLines({"1e999", "-1e999", "3", "1", "1", "1"})
        << QStringList{"0", "0", "3", "1", "1", "1"} << "001111" << 6;
    // Their 15-digit captions would read back beyond the range at the next start.
    QTest::newRow("largest doubles")
        << crlfLines({"1.7976931348623157e308", "-1.797693134862316e308", "1.79769313486231e308",
                      "1", "1", "1"})
        << QStringList{"0", "0", "1.79769313486231E+308", "1", "1", "1"} << "001111" << 6;
    QTest::newRow("NUL bytes") << crlfLines({QByteArray("1\0", 2), QByteArray("\0", 1),
                                             QByteArray("\0"
                                                        "2",
                                                        2),
                                             "3", "4", "5"})
                               << QStringList{"0", "0", "0", "3", "4", "5"} << "000111" << 6;
    QTest::newRow("NUL bytes only, no newline") << QByteArray(100, '\0') << zeros << "000000" << 1;
    QTest::newRow("binary bytes") << QByteArray("\xff\xfe\x01\x80\n\x1b[2J\n7\n", 12)
                                  << QStringList{"0", "0", "7", "0", "0", "0"} << "001000" << 3;
    QTest::newRow("bare CR does not end a line")
        << QByteArray("1\r2\r\n3\r\n") << QStringList{"0", "3", "0", "0", "0", "0"} << "010000"
        << 2;
}

void TestLogFormat::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, captions);
    QFETCH(QString, valid);
    QFETCH(int, itemsFound);

    const LogContents contents = ::parse(bytes);
    QCOMPARE(captionsOf(contents), captions);
    QCOMPARE(validityOf(contents), valid);
    QCOMPARE(contents.itemsFound, static_cast<std::size_t>(itemsFound));
    QCOMPARE(contents.allValid(), valid == QLatin1String("111111"));
}

void TestLogFormat::parseLooksNoFurtherThanTheReadLimit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("valid");
    QTest::addColumn<int>("itemsFound");

    QTest::newRow("line end inside the limit")
        << zerosThenFive(kLimit - 1) + "\n6\n"
        << QStringList{"5", "0", "0", "0", "0", "0"} << "100000" << 1;
    QTest::newRow("file ending at the limit")
        << zerosThenFive(kLimit) << QStringList{"5", "0", "0", "0", "0", "0"} << "100000" << 1;
    QTest::newRow("line end just past the limit")
        << zerosThenFive(kLimit) + "\n"
        << QStringList{"0", "0", "0", "0", "0", "0"} << "000000" << 1;
    QTest::newRow("cut line of digits and nothing else")
        << QByteArray(static_cast<qsizetype>(kLimit) * 2, '7')
        << QStringList{"0", "0", "0", "0", "0", "0"} << "000000" << 1;
    QTest::newRow("items after the limit are never read")
        << "1\n" + zerosThenFive(kLimit - 3) + "\n3\n4\n5\n6\n"
        << QStringList{"1", "5", "0", "0", "0", "0"} << "110000" << 2;
    QTest::newRow("third line cut") << "1\n2\n" + zerosThenFive(kLimit)
                                    << QStringList{"1", "2", "0", "0", "0", "0"} << "110000" << 3;
}

void TestLogFormat::parseLooksNoFurtherThanTheReadLimit()
{
    parse();
}

void TestLogFormat::rawItemsQuoteWhatWasFound()
{
    const QByteArray longItem(1000, 'x');
    const LogContents contents =
        ::parse(crlfLines({" abc ", "12", longItem, QByteArray("a\0b", 3)}));

    QCOMPARE(contents.rawItems[0], std::string("abc"));
    QCOMPARE(contents.rawItems[1], std::string("12"));
    QVERIFY(contents.rawItems[2].size() < 50);
    QVERIFY(contents.rawItems[2].starts_with(std::string(30, 'x')));
    QCOMPARE(contents.rawItems[3], std::string("a?b"));
    QCOMPARE(contents.rawItems[4], std::string());
    QCOMPARE(contents.rawItems[5], std::string());
}

void TestLogFormat::saveFormIsTheCaptionsWithCrLf()
{
    const std::string bytes = LogFormat::saveForm({"2", "0", "15", "31", "12", "140"});
    QCOMPARE(bytes, std::string("2\r\n0\r\n15\r\n31\r\n12\r\n140\r\n"));
    QCOMPARE(bytes.size(), std::size_t(23));
}

void TestLogFormat::saveFormAddsNothingToACaption()
{
    QCOMPARE(LogFormat::saveForm({"-3", "2.5", "1E+15", "", "Overflow", "0"}),
             std::string("-3\r\n2.5\r\n1E+15\r\n\r\nOverflow\r\n0\r\n"));
}

void TestLogFormat::seedFormIsSixBlankZeroBlankLines()
{
    const std::string bytes = LogFormat::seedForm();
    QCOMPARE(bytes, std::string(" 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"));
    QCOMPARE(bytes.size(), std::size_t(30));
}

void TestLogFormat::seedLoadedThenSavedGivesSixZeroLines()
{
    const std::string seed = LogFormat::seedForm();
    const std::string saved = LogFormat::saveForm(LogFormat::parse(seed).captions);
    QCOMPARE(saved, std::string("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    QCOMPARE(saved.size(), std::size_t(18));
}

void TestLogFormat::savedCaptionsLoadBackUnchanged_data()
{
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("example") << QStringList{"2", "0", "15", "31", "12", "140"};
    QTest::newRow("negative and large")
        << QStringList{"-2", "40000", "0", "1E+15", "123456789012345", "-1"};
    QTest::newRow("largest that reads back")
        << QStringList{"1.79769313486231E+308", "-1.79769313486231E+308", "0", "0", "0", "0"};
}

void TestLogFormat::savedCaptionsLoadBackUnchanged()
{
    QFETCH(QStringList, captions);

    Captions given;
    for (std::size_t i = 0; i < kItemCount; ++i)
        given[i] = captions[static_cast<qsizetype>(i)].toStdString();
    const LogContents contents = LogFormat::parse(LogFormat::saveForm(given));
    QVERIFY(contents.allValid());
    QCOMPARE(contents.itemsFound, kItemCount);
    QCOMPARE(contents.captions, given);
}

QTEST_APPLESS_MAIN(TestLogFormat)
#include "tst_LogFormat.moc"
