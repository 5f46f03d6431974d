#pragma once

#include "ui/MessageBox.h"

#include <QApplication>
#include <QTest>

// The boxes shown since the last call, one line each: title|buttons[,default No]|icon|text.
inline QStringList takeShownBoxes()
{
    QStringList lines;
    for (const MessageBox::Shown& box : MessageBox::takeShown())
        lines << QStringLiteral("%1|%2%3|%4|%5")
                     .arg(box.title,
                          box.buttons == QMessageBox::Ok              ? "Ok"
                          : box.buttons.testFlag(QMessageBox::Cancel) ? "YesNoCancel"
                                                                      : "YesNo",
                          box.defaultButton == QMessageBox::No ? ",No" : "")
                     .arg(int(box.icon))
                     .arg(box.text);
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
