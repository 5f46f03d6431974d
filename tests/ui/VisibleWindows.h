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
