#pragma once

#include "VisibleWindows.h"
#include "ui/MessageBox.h"

#include <QTest>

// The message-box seam and the screen around one test of the main window: no
// real box may open, every answer queued must be used, and nothing is left on
// screen. endWindowTest() runs after the window is gone.
inline void beginWindowTest()
{
    MessageBox::clear();
    MessageBox::setRealBoxesAllowed(false);
}

inline void endWindowTest()
{
    QVERIFY2(!MessageBox::hasQueuedAnswers(), "an answer queued for a message box was never used");
    QCOMPARE(MessageBox::unexpectedCount(), 0);
    MessageBox::clear();
    const QStringList open = visibleTopLevelWindows();
    QVERIFY2(open.isEmpty(), qPrintable(open.join(", ") + " left open"));
}
