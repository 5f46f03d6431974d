#pragma once

#include <QList>
#include <QMap>
#include <QMessageBox>
#include <QString>

// Every message box of the program goes through here, so that tests can answer
// them: once a test intercepts the boxes, none opens; each is kept for the test
// to look at and answered by the next queued answer, or else by its default
// button. A user's run keeps nothing.
class MessageBox
{
public:
    using Button = QMessageBox::StandardButton;

    struct Shown
    {
        QString text;
        QString title; // as shown: the application title when none was given
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        Button defaultButton;
        // Buttons that name their answer instead of their standard caption.
        QMap<Button, QString> captions;
    };

    // OK only; an empty title shows the application title "Zoredev".
    static Button inform(QWidget* parent, const QString& text,
                         QMessageBox::Icon icon = QMessageBox::NoIcon,
                         const QString& title = QString());
    // Yes and No unless told; only Yes counts as agreement, and Esc answers No, or
    // Cancel where there is one. A box closed without an answer (the program ending
    // under it) answers as Esc does.
    static Button ask(QWidget* parent, const QString& text, const QString& title,
                      QMessageBox::Icon icon = QMessageBox::NoIcon,
                      Button defaultButton = QMessageBox::Yes,
                      QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                      const QMap<Button, QString>& captions = {});

    static void interceptForTests(bool intercept);
    static void setNextAnswer(Button answer);
    static bool hasQueuedAnswers();
    // The boxes shown since the last call, oldest first.
    static QList<Shown> takeShown();

    static QString applicationTitle();

private:
    static Button show(QWidget* parent, const Shown& box);
};
