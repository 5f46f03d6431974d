#include "ui/AboutDialog.h"

#include "ZoredevVersion.h"
#include "platform/SystemInformation.h"
#include "ui/MessageBox.h"
#include "ui/ProgramFont.h"
#include "ui/ProgramIcon.h"
#include "ui/Twips.h"
#include "ui/WidgetColours.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace {
QPointer<AboutDialog> s_openBox;

using twips::px;
using WidgetColours::kGrey;

QFont serifFont(int points, bool italic)
{
    QFont font(QStringLiteral("Times New Roman"), points, QFont::Bold, italic);
    font.setStyleHint(QFont::Serif);
    return font;
}

template <typename Control> Control* place(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

QLabel* caption(QWidget* parent, const char* name, const QRect& geometry, Qt::Alignment alignment,
                const QColor& colour)
{
    auto* label = place<QLabel>(parent, name, geometry);
    label->setAlignment(alignment | Qt::AlignTop);
    WidgetColours::set(label, {{QPalette::Window, kGrey}, {QPalette::WindowText, colour}});
    return label;
}

void lineSegment(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour)
{
    auto* line = place<QFrame>(parent, name, geometry);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    WidgetColours::set(line, {{QPalette::Window, colour}, {QPalette::WindowText, colour}});
}

} // namespace

AboutDialog::AboutDialog()
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    // Its controls are placed for this face; a desktop theme may give the
    // application a larger one after start, which would cut their texts off.
    setFont(ProgramFont::regular());
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window would not keep the program alive by default; this box
    // must, once the main window has been closed.
    setAttribute(Qt::WA_QuitOnClose, true);
    setFixedSize(px(5730), px(3555));
    WidgetColours::set(this, {{QPalette::Window, kGrey}, {QPalette::WindowText, Qt::black}});

    m_picIcon = place<QLabel>(this, "picIcon", twips::rect(240, 240, 540, 540));
    m_picIcon->setAlignment(Qt::AlignCenter);
    m_picIcon->setPixmap(ProgramIcon::icon().pixmap(QSize(32, 32)));
    m_picIcon->setFocusPolicy(Qt::TabFocus);
    m_picIcon->setAccessibleName(QStringLiteral("Program icon"));

    m_lblTitle = caption(this, "lblTitle", twips::rect(1050, 120, 3885, 480), Qt::AlignHCenter,
                         QColor(0, 0, 192));
    m_lblTitle->setFont(serifFont(18, true));

    m_lblVersion = caption(this, "lblVersion", twips::rect(1050, 600, 3885, 345), Qt::AlignHCenter,
                           QColor(0, 128, 0));
    m_lblVersion->setFont(serifFont(12, false));

    m_txtDescription =
        place<QPlainTextEdit>(this, "txtDescription", twips::rect(120, 960, 5535, 1335));
    m_txtDescription->setPlainText(QStringLiteral(
        "     Zoredev 3.0 helps the coinshooter keep track of everyday finds: type in "
        "what an outing turned up and see at once how many coins of each kind you "
        "found, what they are worth at face value and what share each has, and "
        "keep a running tally of every find so far.  If you would like Zoredev to "
        "do more, your suggestions for extending it are welcome.\r\n"
        "     Zoredev was first written as a DOS program.  Version 2.0 brought it "
        "to Windows, and version 3.0 is a complete rewrite."));
    // Read-only (not editable), but still walked through and scrolled with the keyboard.
    m_txtDescription->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                              Qt::TextSelectableByKeyboard);
    m_txtDescription->setTabChangesFocus(true);
    m_txtDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtDescription->setAccessibleName(QStringLiteral("Description"));
    WidgetColours::set(m_txtDescription,
                       {{QPalette::Base, Qt::white}, {QPalette::Text, Qt::black}});

    // A grey line with a white one just below it looks cut into the face.
    lineSegment(this, "Line1_1", QRect(px(90), px(2445), px(5654 - 90), 1), QColor(128, 128, 128));
    lineSegment(this, "Line1_0", QRect(px(105), px(2460), px(5654 - 105), 2), Qt::white);

    m_lblDisclaimer =
        caption(this, "lblDisclaimer", twips::rect(255, 2625, 3870, 825), Qt::AlignLeft, Qt::black);
    m_lblDisclaimer->setWordWrap(true);

    m_cmdOK = place<QPushButton>(this, "cmdOK", twips::rect(4245, 2625, 1260, 345));
    m_cmdOK->setText(QStringLiteral("OK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &AboutDialog::cmdOK_Click);

    m_cmdSysInfo = place<QPushButton>(this, "cmdSysInfo", twips::rect(4260, 3075, 1245, 345));
    m_cmdSysInfo->setText(QStringLiteral("&System Info..."));
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &AboutDialog::cmdSysInfo_Click);

    // The order of placing (icon, description, OK, System Info), with the icon moved
    // to follow OK: OK, icon, System Info, description.
    setTabOrder(m_cmdOK, m_picIcon);
    m_cmdOK->setFocus();

    Form_Load();
}

AboutDialog* AboutDialog::showSingle()
{
    if (!s_openBox)
        s_openBox = new AboutDialog;
    s_openBox->show();
    s_openBox->raise();
    s_openBox->activateWindow();
    return s_openBox;
}

void AboutDialog::Form_Load()
{
    const QString title = MessageBox::applicationTitle();
    setWindowTitle(QStringLiteral("About ") + title);
    m_lblVersion->setText(QStringLiteral("Version " ZOREDEV_VERSION));
    m_lblTitle->setText(title);
    m_lblDisclaimer->setText(
        QStringLiteral("Warning: Always ask the landowner before you search, and follow the "
                       "local laws on digging and on reporting what you find."));
}

void AboutDialog::cmdOK_Click()
{
    close();
}

void AboutDialog::cmdSysInfo_Click()
{
    StartSysInfo();
}

void AboutDialog::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    // A box on its way out is no longer the one to bring forward.
    if (event->isAccepted() && s_openBox == this)
        s_openBox = nullptr;
}

void AboutDialog::StartSysInfo()
{
    if (!SystemInformation::start())
        MessageBox::inform(this, QStringLiteral("System Information Is Unavailable At This Time"));
}
