#include "ui/MainWindowUi.h"

#include "ui/DenominationControls.h"
#include "ui/ProgramFont.h"
#include "ui/TextConversion.h"
#include "ui/Twips.h"
#include "ui/WidgetColours.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyleFactory>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>

namespace {

using twips::px;

const QColor kLightBlue(192, 192, 255);
const QColor kLightGreen(192, 255, 192);
const QColor kLightMagenta(255, 192, 255);
const QColor kLightRed(255, 192, 192);

void setBackground(QWidget* widget, const QColor& colour)
{
    WidgetColours::set(widget, {{QPalette::Window, colour}});
    widget->setAutoFillBackground(true);
}

// The window's faces are fixed and light, so it takes the style's own light
// palette for its texts, buttons and tabs: a dark desktop palette would draw
// light text on the light faces. Menus and message boxes keep the desktop's.
void setFixedColours(QWidget* window)
{
    QPalette palette = window->style()->standardPalette();
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, Qt::black);
    palette.setColor(QPalette::Window, kLightBlue);
    palette.setColor(QPalette::Base, Qt::white);
    window->setPalette(palette);
}

// Fusion draws the tab panel and the frames with translucent highlights over the
// whole area, which the raster engine blends span by span on a thread pool: the
// first paint then waited on two new threads. The classic style's lines are opaque.
QStyle* panelStyle()
{
    static QPointer<QStyle> classic;
    if (!classic) {
        classic = QStyleFactory::create(QStringLiteral("Windows"));
        if (classic)
            classic->setParent(qApp);
    }
    return classic;
}

// The layout places a page's controls relative to the whole tab control, strip
// included; this is where QTabWidget will put the pages once it is shown.
QPoint pageOrigin(const QTabWidget* tabs)
{
    QStyleOptionTabWidgetFrame option;
    option.initFrom(tabs);
    option.lineWidth = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = tabs->tabBar()->sizeHint();
    return tabs->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, tabs).topLeft();
}

struct Column
{
    int left;
    int width;
    const char* heading;
};

constexpr Column kQuantity{1440, 735, "Quantity"};
constexpr Column kFaceValue{2280, 855, "Face Value"};
constexpr Column kPercentages{3240, 855, "Percentages"};

constexpr int kHeadingTop = 480;
constexpr std::array<int, tally::kDenominationCount> kRowTops{720, 1080, 1440, 1800, 2160, 2520};
constexpr int kTotalsTop = 3000;
constexpr int kButtonsTop = 3480;
constexpr int kFigureHeight = 255;

// Where each row caption starts: all of them end at 1335, whatever their length.
constexpr std::array<int, tally::kDenominationCount> kRowCaptionLefts{120, 120, 120, 240, 600, 480};

QLabel* staticLabel(QWidget* parent, const QString& name, const QString& caption,
                    const QRect& geometry, Qt::Alignment alignment)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setFont(ProgramFont::gridCaption());
    setBackground(label, WidgetColours::kGrey);
    return label;
}

QLabel* figureLabel(QWidget* parent, const QString& name, const QString& caption,
                    const QRect& geometry, const QColor& colour, const QString& description)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    setBackground(label, colour);
    // The caption stays the accessible name, so a screen reader reads the figure
    // itself; where it stands is told by the description.
    label->setAccessibleDescription(description);
    return label;
}

QString cellName(const QString& frame, const QString& row, const char* column)
{
    return QStringLiteral("%1, %2, %3").arg(frame, row, QLatin1String(column));
}

// The grid both frames share: row captions, the three headings and the totals row.
// labelBase is 0 for Logged Finds and 10 for Latest Finds.
void addGridCaptions(QGroupBox* frame, int labelBase, bool latest)
{
    for (std::size_t i = 0; i < kRowControls.size(); ++i) {
        staticLabel(frame, QStringLiteral("label_%1").arg(labelBase + int(i)),
                    QLatin1String(kRowControls[i].rowCaption),
                    twips::rect(kRowCaptionLefts[i], kRowTops[i], 1335 - kRowCaptionLefts[i],
                                kFigureHeight),
                    Qt::AlignRight);
    }
    const int quantityWidth = latest ? 675 : 735;
    staticLabel(
        frame, QStringLiteral("label_%1").arg(labelBase + 6), kQuantity.heading,
        twips::rect(kQuantity.left + (735 - quantityWidth) / 2, kHeadingTop, quantityWidth, 195),
        Qt::AlignHCenter);
    staticLabel(frame, QStringLiteral("label_%1").arg(labelBase + 7), kFaceValue.heading,
                twips::rect(2295, kHeadingTop, 825, 195), Qt::AlignHCenter);
    staticLabel(frame, latest ? QStringLiteral("label_19") : QStringLiteral("Label3"),
                kPercentages.heading, twips::rect(3270, kHeadingTop, 915, 195), Qt::AlignHCenter);
    staticLabel(frame, QStringLiteral("label_%1").arg(labelBase + 8), QStringLiteral("Totals:"),
                twips::rect(840, kTotalsTop, latest ? 480 : 495, 195),
                latest ? Qt::AlignRight : Qt::AlignHCenter);
}

// Face values, shares and the two totals of one frame.
FrameLabels addFigures(QGroupBox* frame, int element, const QString& frameCaption,
                       const char* coinTotalName)
{
    FrameLabels figures;
    for (std::size_t i = 0; i < kRowControls.size(); ++i) {
        const auto& d = kRowControls[i];
        const QString row = toQString(tally::kDenominations[i].name);
        figures.faceValues[i] = figureLabel(
            frame, QStringLiteral("%1_%2").arg(QLatin1String(d.faceValueLabel)).arg(element),
            QStringLiteral("$0.00"),
            twips::rect(kFaceValue.left, kRowTops[i], kFaceValue.width, kFigureHeight), kLightBlue,
            cellName(frameCaption, row, kFaceValue.heading));
        figures.shares[i] = figureLabel(
            frame, QLatin1String(element == 0 ? d.loggedShareLabel : d.latestShareLabel),
            QStringLiteral("0.00%"),
            twips::rect(kPercentages.left, kRowTops[i], kPercentages.width, kFigureHeight),
            kLightRed, cellName(frameCaption, row, kPercentages.heading));
    }
    const QString totals = QStringLiteral("Totals");
    figures.coinTotal =
        figureLabel(frame, QLatin1String(coinTotalName), QStringLiteral("0"),
                    twips::rect(kQuantity.left, kTotalsTop, kQuantity.width, kFigureHeight),
                    kLightGreen, cellName(frameCaption, totals, kQuantity.heading));
    figures.totalFaceValue = figureLabel(
        frame, QStringLiteral("lblTotalFaceValue_%1").arg(element), QStringLiteral("$0.00"),
        twips::rect(kFaceValue.left, kTotalsTop, kFaceValue.width, kFigureHeight), kLightMagenta,
        cellName(frameCaption, totals, kFaceValue.heading));
    return figures;
}

QAction* menuEntry(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

void MainWindowUi::setupUi(QMainWindow* window, const QString& suggestionAddress)
{
    window->setObjectName(QStringLiteral("frmZivuruz3Main"));
    window->setFont(ProgramFont::regular());
    setFixedColours(window);

    auto* client = new QWidget(window);
    client->setObjectName(QStringLiteral("clientArea"));
    window->setCentralWidget(client);

    SSTab1 = new QTabWidget(client);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(twips::rect(120, 0, 9135, 4575));
    SSTab1->setStyle(panelStyle());
    const auto page = [this](const QString& caption) {
        auto* widget = new QWidget;
        SSTab1->addTab(widget, caption);
        return widget;
    };
    QWidget* basic = page(QStringLiteral("Basic Coinshooting"));
    QWidget* placeholderPages[2] = {page(QStringLiteral("Advanced Coinshooting")),
                                    page(QStringLiteral("Miscellaneous"))};
    const QPoint origin = pageOrigin(SSTab1);
    const auto onPage = [origin](QWidget* control, int left, int top, int width, int height) {
        control->setGeometry(twips::rect(left, top, width, height).translated(-origin));
    };

    const QString placeholder =
        QStringLiteral("What would you like to see here?  Send me suggestions at %1.")
            .arg(suggestionAddress);
    QFont placeholderFont = ProgramFont::regular();
    placeholderFont.setPointSize(18);
    const int placeholderTops[2] = {1920, 1800};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(placeholder, placeholderPages[i]);
        label->setObjectName(QStringLiteral("Label2_%1").arg(i));
        onPage(label, 480, placeholderTops[i], 6855, 855);
        label->setFont(placeholderFont);
        label->setWordWrap(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
        label->setPalette(palette);
        setBackground(label, WidgetColours::kGrey);
    }

    Frame1 = new QGroupBox(QStringLiteral("Logged Finds"), basic);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    onPage(Frame1, 120, 360, 4335, 4095);
    Frame2 = new QGroupBox(QStringLiteral("Latest Finds"), basic);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    onPage(Frame2, 4560, 360, 4455, 4095);
    for (QGroupBox* frame : {Frame1, Frame2})
        frame->setStyle(panelStyle());

    addGridCaptions(Frame1, 0, false);
    addGridCaptions(Frame2, 10, true);
    logged = addFigures(Frame1, 0, Frame1->title(), "lblTotalCoins");
    latest = addFigures(Frame2, 1, Frame2->title(), "lblTotalCoinsFound");

    for (std::size_t i = 0; i < kRowControls.size(); ++i) {
        const auto& d = kRowControls[i];
        const QString row = toQString(tally::kDenominations[i].name);
        countLabels[i] = figureLabel(
            Frame1, QStringLiteral("%1_0").arg(QLatin1String(d.countLabel)), QStringLiteral("0"),
            twips::rect(kQuantity.left, kRowTops[i], kQuantity.width, kFigureHeight), kLightGreen,
            cellName(Frame1->title(), row, kQuantity.heading));

        auto* box = new QLineEdit(QStringLiteral("0"), Frame2);
        box->setObjectName(QLatin1String(d.entryBox));
        // A limit on typing and pasting only: QLineEdit's own maximum length also cuts
        // the program's writes, and Log Finds writes back "1000" for an entry of 1e3.
        box->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral(".{0,%1}").arg(d.entryMaxLength)), box));
        box->setGeometry(twips::rect(kQuantity.left, kRowTops[i], kQuantity.width, 285));
        box->setAccessibleName(cellName(Frame2->title(), row, kQuantity.heading));
        entryBoxes[i] = box;
    }

    auto button = [this](const char* name, const QString& caption, int left, int width) {
        auto* b = new QPushButton(caption, Frame2);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(twips::rect(left, kButtonsTop, width, 375));
        return b;
    };
    cmdAdd = button("cmdAdd", QStringLiteral("&Log  Finds"), 120, 1095);
    cmdClear = button("cmdClear", QStringLiteral("&Clear Entry Boxes"), 1440, 1575);
    cmdExit = button("cmdExit", QStringLiteral("Save && E&xit"), 3240, 1095);

    QWidget* previous = SSTab1->tabBar();
    const auto followedBy = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (QLineEdit* box : entryBoxes)
        followedBy(box);
    for (QPushButton* button : {cmdAdd, cmdClear, cmdExit})
        followedBy(button);

    QMenuBar* bar = window->menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuExit = menuEntry(file, "mnuExit", QStringLiteral("E&xit Without Saving"));

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    mnuBackUpNow = menuEntry(options, "mnuBackUpNow", QStringLiteral("Back Up Log Files Now"));
    mnuRestoreFromBackup =
        menuEntry(options, "mnuRestoreFromBackup", QStringLiteral("Restore Log Files From Backup"));
    options->addSeparator()->setObjectName(QStringLiteral("mnuSep100"));
    mnuDeleteBackups =
        menuEntry(options, "mnuDeleteBackups", QStringLiteral("Delete Backup Files"));
    mnuDeleteLogs = menuEntry(options, "mnuDeleteLogs", QStringLiteral("Delete Log Files"));

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuQuickHelp = menuEntry(help, "mnuQuickHelp", QStringLiteral("QuickHelp"));
    mnuRegistration = menuEntry(help, "mnuRegistration", QStringLiteral("Registration"));
    mnuAbout = menuEntry(help, "mnuAbout", QStringLiteral("About Zoredev"));
    mnuBugs = menuEntry(help, "mnuBugs", QStringLiteral("Bugs/Comments/Suggestions"));

    // The client area below the menu bar is what the layout was drawn for. The window
    // gives the bar the height it needs at the window's width, which the Windows style
    // makes a pixel more than the bar's size hint.
    window->resize(px(9390), px(4620) + bar->heightForWidth(px(9390)));
}
