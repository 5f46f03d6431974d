#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QQueue>

namespace {
QQueue<MessageBox::Answer> s_answers;
QList<MessageBox::Record> s_history;
bool s_realBoxesAllowed = true;
int s_unexpected = 0;

MessageBox::Answer fromButton(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return MessageBox::Yes;
    case QMessageBox::No:
        return MessageBox::No;
    default:
        return MessageBox::Ok;
    }
}
} // namespace

QString MessageBox::applicationTitle()
{
    return QStringLiteral("Zoredev");
}

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& text, int style,
                                    const QString& title)
{
    const QString shownTitle = title.isEmpty() ? applicationTitle() : title;
    s_history.append({text, style, shownTitle});
    if (!s_answers.isEmpty())
        return s_answers.dequeue();
    const bool yesNo = (style & 0xF) == YesNo;
    if (!s_realBoxesAllowed) {
        ++s_unexpected;
        return yesNo ? ((style & DefaultSecond) ? No : Yes) : Ok;
    }

    QMessageBox box(parent);
    box.setWindowTitle(shownTitle);
    box.setText(text);
    // Plain text keeps the double blanks after full stops and the indents exactly.
    box.setTextFormat(Qt::PlainText);

    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton((style & DefaultSecond) ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }

    switch (style & 0x70) {
    case StopIcon:
        box.setIcon(QMessageBox::Critical);
        break;
    case ExclamationIcon:
        box.setIcon(QMessageBox::Warning);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    return fromButton(box.exec());
}

void MessageBox::setNextAnswer(Answer answer)
{
    s_answers.enqueue(answer);
}

bool MessageBox::hasQueuedAnswers()
{
    return !s_answers.isEmpty();
}

const QList<MessageBox::Record>& MessageBox::history()
{
    return s_history;
}

void MessageBox::setRealBoxesAllowed(bool allowed)
{
    s_realBoxesAllowed = allowed;
}

int MessageBox::unexpectedCount()
{
    return s_unexpected;
}

void MessageBox::clear()
{
    s_unexpected = 0;
    s_answers.clear();
    s_history.clear();
}
