#pragma once

#include "ui/MessageBox.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

// One line per message box, so that a test compares what was shown as a list.
inline QString describe(const MessageBox::Shown& box)
{
    const QString buttons = box.buttons == QMessageBox::Ok ? "Ok" : "YesNo";
    const QString defaultButton = box.defaultButton == QMessageBox::No ? ",No" : "";
    return QStringLiteral("%1|%2%3|%4|%5")
        .arg(box.title, buttons, defaultButton)
        .arg(int(box.icon))
        .arg(box.text);
}

inline QStringList takeShownBoxes()
{
    QStringList lines;
    for (const MessageBox::Shown& box : MessageBox::takeShown())
        lines << describe(box);
    return lines;
}

// Around every widget test: no real box may open, every box shown must have been
// looked at, every answer queued used, and no window left on screen.
inline void beginWindowTest()
{
    MessageBox::interceptForTests(true);
}

inline void endWindowTest()
{
    QCOMPARE(takeShownBoxes(), QStringList());
    QVERIFY2(!MessageBox::hasQueuedAnswers(), "an answer queued for a message box was never used");
    QStringList open;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            open << widget->objectName() + "/" + widget->metaObject()->className();
    }
    QApplication::closeAllWindows();
    QVERIFY2(open.isEmpty(), qPrintable(open.join(", ") + " left open"));
}
