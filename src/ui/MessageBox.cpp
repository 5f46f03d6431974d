#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <QQueue>

namespace {
struct Interception
{
    bool active = false;
    QQueue<MessageBox::Button> answers;
    QList<MessageBox::Shown> shown;
};

Interception& interception()
{
    static Interception state;
    return state;
}
} // namespace

QString MessageBox::applicationTitle()
{
    return QStringLiteral("Zoredev");
}

MessageBox::Button MessageBox::inform(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                      const QString& title)
{
    return show(parent, {text, title, icon, QMessageBox::Ok, QMessageBox::Ok, {}});
}

MessageBox::Button MessageBox::ask(QWidget* parent, const QString& text, const QString& title,
                                   QMessageBox::Icon icon, Button defaultButton,
                                   QMessageBox::StandardButtons buttons,
                                   const QMap<Button, QString>& captions)
{
    return show(parent, {text, title, icon, buttons, defaultButton, captions});
}

MessageBox::Button MessageBox::show(QWidget* parent, const Shown& request)
{
    Shown box = request;
    if (box.title.isEmpty())
        box.title = applicationTitle();
    Interception& seam = interception();
    if (seam.active) {
        seam.shown.append(box);
        return seam.answers.isEmpty() ? box.defaultButton : seam.answers.dequeue();
    }

    QMessageBox dialog(box.icon, box.title, box.text, box.buttons, parent);
    // Plain text keeps the double blanks after full stops and the indents exactly.
    dialog.setTextFormat(Qt::PlainText);
    // Esc needs no button of its own: QMessageBox makes No the escape of a question.
    dialog.setDefaultButton(box.defaultButton);
    for (auto caption = box.captions.cbegin(); caption != box.captions.cend(); ++caption)
        if (QAbstractButton* button = dialog.button(caption.key()))
            button->setText(caption.value());
    const auto answer = static_cast<Button>(dialog.exec());
    if (box.buttons.testFlag(answer))
        return answer;
    for (const Button escape : {QMessageBox::Cancel, QMessageBox::No})
        if (box.buttons.testFlag(escape))
            return escape;
    return box.defaultButton;
}

void MessageBox::interceptForTests(bool intercept)
{
    interception() = Interception{intercept, {}, {}};
}

void MessageBox::setNextAnswer(Button answer)
{
    interception().answers.enqueue(answer);
}

bool MessageBox::hasQueuedAnswers()
{
    return !interception().answers.isEmpty();
}

QList<MessageBox::Shown> MessageBox::takeShown()
{
    return std::exchange(interception().shown, {});
}
