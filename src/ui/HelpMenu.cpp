#include "ui/HelpMenu.h"

#include "ui/MakerContact.h"

#include <QStringList>

namespace {
// Five blanks start a paragraph or an address line.
const QString indent = QStringLiteral("     ");

MessageBox::Answer showLines(QWidget* parent, const QStringList& lines)
{
    return MessageBox::show(parent, lines.join(QLatin1Char('\n')), MessageBox::OkOnly);
}
} // namespace

MessageBox::Answer HelpMenu::showQuickHelp(QWidget* parent)
{
    return showLines(parent, {QStringLiteral("Error: You asked for help when none is needed.")});
}

MessageBox::Answer HelpMenu::showRegistration(QWidget* parent)
{
    return showLines(parent,
                     {
                         indent,
                         QString(),
                         indent + QStringLiteral("Zoredev 3.0 Registration"),
                         indent + MakerContact::street,
                         indent + MakerContact::cityAndState,
                         indent + MakerContact::postalCode,
                         QString(),
                         QStringLiteral("Thanks for your interest in Zoredev.  Happy hunting!"),
                     });
}

MessageBox::Answer HelpMenu::showBugs(QWidget* parent)
{
    return showLines(
        parent, {
                    indent + QStringLiteral(
                                 "If you think you have found a bug and would like to report it, "
                                 "have a comment, constructive criticism or suggestion about "
                                 "Zoredev, please contact me via one of the following methods:"),
                    QString(),
                    indent + QStringLiteral("E-Mail: ") + MakerContact::email,
                    indent + QStringLiteral("ICQ: ") + MakerContact::icq,
                    QString(),
                    indent + QStringLiteral(
                                 "Your input is greatly appreciated.  Please help me decide what "
                                 "to add to Zoredev in the next release.  Thanks,"),
                    QString(),
                    indent + MakerContact::name,
                });
}
