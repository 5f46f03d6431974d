#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QQueue>

namespace {
QQueue<MessageBox::Answer> s_answers;
QList<MessageBox::Record> s_history;

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

    QMessageBox box(parent);
    box.setWindowTitle(shownTitle);
    box.setText(text);
    // Plain text keeps the double blanks after full stops and the indents exactly.
    box.setTextFormat(Qt::PlainText);

    const bool yesNo = (style & 0xF) == YesNo;
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

void MessageBox::clear()
{
    s_answers.clear();
    s_history.clear();
}
