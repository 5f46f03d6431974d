#pragma once

#include "ui/MessageBox.h"

#include <QApplication>
#include <QMetaEnum>
#include <QTest>

// The boxes shown since the last call, one line each: title|buttons|icon|text. The
// buttons by their captions, followed by ",default" where it is not the first.
inline QStringList takeShownBoxes()
{
    const QMetaEnum names = QMetaEnum::fromType<QMessageBox::StandardButtons>();
    QStringList lines;
    for (const MessageBox::Shown& box : MessageBox::takeShown()) {
        QStringList buttons;
        for (const MessageBox::Button button :
             {QMessageBox::Ok, QMessageBox::Save, QMessageBox::Yes, QMessageBox::No,
              QMessageBox::Discard, QMessageBox::Cancel})
            if (box.buttons.testFlag(button))
                buttons << box.captions.value(button, names.valueToKey(button));
        const QString byDefault =
            box.captions.value(box.defaultButton, names.valueToKey(box.defaultButton));
        if (buttons.value(0) != byDefault)
            buttons.last() += ',' + byDefault;
        lines << QStringLiteral("%1|%2|%3|%4")
                     .arg(box.title, buttons.join('/'))
                     .arg(int(box.icon))
                     .arg(box.text);
    }
    return lines;
}

// After every widget test, which intercepts the boxes: every box shown must have
// been looked at, every answer queued used, and no window left on screen.
inline void endWindowTest()
{
    const QStringList boxes = takeShownBoxes();
    QVERIFY2(boxes.isEmpty(), qPrintable("boxes never looked at: " + boxes.join('\n')));
    QVERIFY2(!MessageBox::hasQueuedAnswers(), "an answer queued for a message box was never used");
    QStringList open;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            open << widget->objectName() + "/" + widget->metaObject()->className();
    QApplication::closeAllWindows();
    QVERIFY2(open.isEmpty(), qPrintable(open.join(", ") + " left open"));
}
