#include "ui/AboutDialog.h"

#include "ZoredevVersion.h"
#include "ui/MessageBox.h"
#include "ui/ProgramFont.h"
#include "ui/ProgramIcon.h"
#include "ui/Twips.h"
#ifdef Q_OS_WIN
#include "ui/WindowsRegistry.h"
#else
#include "ui/SystemRegistry.h"
#endif

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

#include <stdexcept>

namespace {
QPointer<AboutDialog> s_openBox;

#ifdef Q_OS_WIN
using OwnRegistry = WindowsRegistry;
#else
using OwnRegistry = SystemRegistry; // this desktop's stand-in
#endif

// Reading a value needs read rights only (KEY_READ); asking for more would
// turn every user without write rights to the key away.
constexpr quint32 keyReadAccess = 0x20019;
constexpr quint32 valueBufferSize = 1024;

const QColor grey(192, 192, 192);

using twips::px;
constexpr auto twipRect = twips::rect;

void setColours(QWidget* widget, QPalette::ColorRole background, const QColor& backgroundColour,
                QPalette::ColorRole foreground, const QColor& foregroundColour)
{
    QPalette palette = widget->palette();
    palette.setColor(background, backgroundColour);
    palette.setColor(foreground, foregroundColour);
    widget->setPalette(palette);
}

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
    setColours(label, QPalette::Window, grey, QPalette::WindowText, colour);
    return label;
}

void lineSegment(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour)
{
    auto* line = place<QFrame>(parent, name, geometry);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    setColours(line, QPalette::Window, colour, QPalette::WindowText, colour);
}

QString descriptionText()
{
    return QStringLiteral(
               "     Zoredev 3.0 helps the coinshooter keep track of everyday finds: type in "
               "what an outing turned up and see at once how many coins of each kind you "
               "found, what they are worth at face value and what share each has, and keep a "
               "running tally of every find so far.  If you would like Zoredev to do more, "
               "your suggestions for extending it are welcome.") +
           QLatin1String("\r\n") +
           QStringLiteral(
               "     Zoredev was first written as a DOS program.  Version 2.0 brought it to "
               "Windows, and version 3.0 is a complete rewrite.");
}

QString disclaimerText()
{
    return QStringLiteral("Warning: Always ask the landowner before you search, and follow the "
                          "local laws on digging and on reporting what you find.");
}
} // namespace

AboutDialog::AboutDialog(Registry* registry)
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_ownRegistry(registry ? nullptr : std::make_unique<OwnRegistry>()),
      m_registry(registry ? registry : m_ownRegistry.get())
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
    setColours(this, QPalette::Window, grey, QPalette::WindowText, Qt::black);

    m_picIcon = place<QLabel>(this, "picIcon", twipRect(240, 240, 540, 540));
    m_picIcon->setAlignment(Qt::AlignCenter);
    m_picIcon->setPixmap(ProgramIcon::icon().pixmap(QSize(32, 32)));
    m_picIcon->setFocusPolicy(Qt::TabFocus);
    m_picIcon->setAccessibleName(QStringLiteral("Program icon"));

    m_lblTitle = caption(this, "lblTitle", twipRect(1050, 120, 3885, 480), Qt::AlignHCenter,
                         QColor(0, 0, 192));
    m_lblTitle->setFont(serifFont(18, true));

    m_lblVersion = caption(this, "lblVersion", twipRect(1050, 600, 3885, 345), Qt::AlignHCenter,
                           QColor(0, 128, 0));
    m_lblVersion->setFont(serifFont(12, false));

    m_txtDescription =
        place<QPlainTextEdit>(this, "txtDescription", twipRect(120, 960, 5535, 1335));
    m_txtDescription->setPlainText(descriptionText());
    // Read-only (not editable), but still walked through and scrolled with the keyboard.
    m_txtDescription->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                              Qt::TextSelectableByKeyboard);
    m_txtDescription->setTabChangesFocus(true);
    m_txtDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtDescription->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtDescription->setAccessibleName(QStringLiteral("Description"));
    setColours(m_txtDescription, QPalette::Base, Qt::white, QPalette::Text, Qt::black);

    // A grey line with a white one just below it looks cut into the face.
    lineSegment(this, "Line1_1", QRect(px(90), px(2445), px(5654 - 90), 1), QColor(128, 128, 128));
    lineSegment(this, "Line1_0", QRect(px(105), px(2460), px(5654 - 105), 2), Qt::white);

    m_lblDisclaimer =
        caption(this, "lblDisclaimer", twipRect(255, 2625, 3870, 825), Qt::AlignLeft, Qt::black);
    m_lblDisclaimer->setWordWrap(true);

    m_cmdOK = place<QPushButton>(this, "cmdOK", twipRect(4245, 2625, 1260, 345));
    m_cmdOK->setText(QStringLiteral("OK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &AboutDialog::cmdOK_Click);

    m_cmdSysInfo = place<QPushButton>(this, "cmdSysInfo", twipRect(4260, 3075, 1245, 345));
    m_cmdSysInfo->setText(QStringLiteral("&System Info..."));
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &AboutDialog::cmdSysInfo_Click);

    setTabOrder(m_cmdOK, m_picIcon);
    setTabOrder(m_picIcon, m_cmdSysInfo);
    setTabOrder(m_cmdSysInfo, m_txtDescription);
    m_cmdOK->setFocus();

    Form_Load();
}

AboutDialog::~AboutDialog() = default;

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
    m_lblDisclaimer->setText(disclaimerText());
}

void AboutDialog::cmdOK_Click()
{
    close();
}

void AboutDialog::cmdSysInfo_Click()
{
    StartSysInfo();
}

void AboutDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc presses OK, like Enter does, rather than just hiding the box.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
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
    const Registry::Key root = Registry::LocalMachine;
    const QString toolFile = QStringLiteral("\\MSINFO32.EXE");
    QString sysInfoPath;
    try {
        bool found = GetKeyValue(root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                 QStringLiteral("PATH"), sysInfoPath);
        if (!found &&
            GetKeyValue(root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                        QStringLiteral("MSINFO"), sysInfoPath) &&
            !m_registry->findFile(sysInfoPath + toolFile).isEmpty()) {
            sysInfoPath += toolFile;
            found = true;
        }
        if (found && m_registry->startProgram(sysInfoPath))
            return;
    } catch (const std::exception&) {
        // Whatever went wrong, the user hears the same.
    }
    MessageBox::inform(this, QStringLiteral("System Information Is Unavailable At This Time"));
}

bool AboutDialog::GetKeyValue(Registry::Key keyRoot, const QString& keyName,
                              const QString& subKeyRef, QString& keyVal)
{
    Registry::Key key = 0;
    if (m_registry->openKey(keyRoot, keyName.toLocal8Bit(), 0, keyReadAccess, &key) !=
        Registry::Success) {
        keyVal.clear();
        return false;
    }
    const auto closeKey = qScopeGuard([&] { m_registry->closeKey(key); });

    QByteArray buffer(valueBufferSize, '\0');
    quint32 type = 0;
    quint32 size = valueBufferSize;
    if (m_registry->queryValue(key, subKeyRef.toLocal8Bit(), &type, buffer.data(), &size) !=
        Registry::Success) {
        keyVal.clear();
        return false;
    }
    buffer.truncate(static_cast<qsizetype>(qMin(size, valueBufferSize)));
    if (buffer.isEmpty())
        throw std::runtime_error("registry value of zero length");
    if (buffer.endsWith('\0'))
        buffer.chop(1);

    switch (type) {
    case Registry::TextValue:
        keyVal = QString::fromLocal8Bit(buffer);
        break;
    case Registry::NumberValue: {
        // Stored least significant byte first; written most significant first.
        QString hex = QStringLiteral("&h");
        for (qsizetype i = buffer.size() - 1; i >= 0; --i)
            hex += QStringLiteral("%1")
                       .arg(static_cast<uchar>(buffer.at(i)), 2, 16, QLatin1Char('0'))
                       .toUpper();
        keyVal = hex;
        break;
    }
    default:
        break; // a kind of value the program has no use for
    }
    return true;
}
