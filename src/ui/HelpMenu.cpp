#include "ui/HelpMenu.h"

#include "ui/MakerContact.h"

#include <QStringList>

namespace {
// Five blanks start a paragraph or an address line. A function rather than a
// global QString, which would be built before main() and torn down after it.
QString indent()
{
    return QStringLiteral("     ");
}

// The lines of a box are joined by CR LF, as the program has always written them.
MessageBox::Button showLines(QWidget* parent, const QStringList& lines)
{
    return MessageBox::inform(parent, lines.join(QLatin1String("\r\n")));
}
} // namespace

MessageBox::Button HelpMenu::showQuickHelp(QWidget* parent)
{
    return showLines(parent, {QStringLiteral("Error: You asked for help when none is needed.")});
}

MessageBox::Button HelpMenu::showRegistration(QWidget* parent)
{
    return showLines(parent,
                     {
                         indent(),
                         QString(),
                         indent() + QStringLiteral("Zoredev 3.0 Registration"),
                         indent() + MakerContact::street,
                         indent() + MakerContact::cityAndState,
                         indent() + MakerContact::postalCode,
                         QString(),
                         QStringLiteral("Thanks for your interest in Zoredev.  Happy hunting!"),
                     });
}

MessageBox::Button HelpMenu::showBugs(QWidget* parent)
{
    return showLines(
        parent, {
                    indent() + QStringLiteral(
                                   "If you think you have found a bug and would like to report it, "
                                   "have a comment, constructive criticism or suggestion about "
                                   "Zoredev, please contact me via one of the following methods:"),
                    QString(),
                    indent() + QStringLiteral("E-Mail: ") + MakerContact::email,
                    indent() + QStringLiteral("ICQ: ") + MakerContact::icq,
                    QString(),
                    indent() + QStringLiteral(
                                   "Your input is greatly appreciated.  Please help me decide what "
                                   "to add to Zoredev in the next release.  Thanks,"),
                    QString(),
                    indent() + MakerContact::name,
                });
}
