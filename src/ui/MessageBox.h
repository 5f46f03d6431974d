#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every message box of the program goes through here. Styles are the classic
// message-box numbers the program's texts are written against; this is the one
// place that turns them into QMessageBox buttons, icon and default button.
// Tests queue answers with setNextAnswer() so that no real dialog ever opens.
class MessageBox
{
public:
    enum Style : int
    {
        OkOnly = 0,
        YesNo = 4,
        StopIcon = 16,
        ExclamationIcon = 48,
        DefaultSecond = 256,
    };

    enum Answer : int
    {
        Ok = 1,
        Yes = 6,
        No = 7
    };

    struct Record
    {
        QString text;
        int style;
        QString title; // the title as shown
    };

    // Modal box; an empty title shows the application title "Zoredev".
    static Answer show(QWidget* parent, const QString& text, int style = OkOnly,
                       const QString& title = QString());

    // The next box is not shown; it is recorded and answers this instead.
    static void setNextAnswer(Answer answer);
    // With real boxes refused, a box nobody queued an answer for is not shown either:
    // it takes its default button and counts as unexpected, so a test fails instead
    // of waiting for a click that never comes.
    static void setRealBoxesAllowed(bool allowed);
    static int unexpectedCount();
    static bool hasQueuedAnswers();
    // Boxes shown or answered since the last clear, oldest first.
    static const QList<Record>& history();
    static void clear();

    static QString applicationTitle();
};
