#pragma once

#include <QApplication>
#include <QStringList>
#include <QWidget>

// Names of the top-level windows and dialogs still on screen, for the
// cleanup of widget tests.
inline QStringList visibleTopLevelWindows()
{
    QStringList names;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            names.append(widget->objectName().isEmpty()
                             ? QString::fromLatin1(widget->metaObject()->className())
                             : widget->objectName());
    }
    return names;
}

// Closes every window still on screen and names them, so that one forgotten
// window fails only the test that left it.
inline QStringList closeWindowsLeftOpen()
{
    const QStringList open = visibleTopLevelWindows();
    QApplication::closeAllWindows();
    return open;
}
