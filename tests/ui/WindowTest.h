#pragma once

#include "ZoredevVersion.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMetaEnum>
#include <QStyle>
#include <QTabWidget>
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
// been looked at and every answer queued used.
inline void endWindowTest()
{
    const QStringList boxes = takeShownBoxes();
    QVERIFY2(boxes.isEmpty(), qPrintable("boxes never looked at: " + boxes.join('\n')));
    QVERIFY2(!MessageBox::hasQueuedAnswers(), "an answer queued for a message box was never used");
    QApplication::closeAllWindows(); // an About box outlives the main window
}

// A window as its user meets it, one line a control: name, kind, place (in the client
// area, below any menu bar), caption, alignment, font size and style, the colour of
// its text, the face drawn where it paints its own, and what a screen reader says;
// then each menu's entries. Font families and the style's own faces and controls (the
// menu bar among them) are the platform's, and left out.
inline QStringList controls(QWidget* window)
{
    auto* main = qobject_cast<QMainWindow*>(window);
    const QWidget* origin = main ? main->centralWidget() : window;
    const QImage drawn = window->grab().toImage();
    const auto face = [&drawn, window](const QWidget* w) {
        const QPoint inside(std::min(1, w->width() - 1), std::min(1, w->height() - 1));
        return drawn.pixelColor(w->mapTo(window, inside)).name();
    };
    QStringList lines{QString::asprintf("%s %dx%d ", qPrintable(window->objectName()),
                                        origin->width(), origin->height()) +
                      window->windowTitle() + " on " + face(origin)};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_") || w->isWindow() ||
            w->parentWidget()->inherits("QTabBar"))
            continue;
        const QRect at(w->mapTo(origin, QPoint()), w->size());
        QString text; // a caption, a frame's title, an edit's text or the tabs' captions
        for (const char* property : {"text", "title", "plainText"})
            if (const QVariant value = w->property(property); value.isValid())
                text = value.toString();
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                text += tabs->tabText(i) + '|';
        const QVariant align = w->property("alignment");
        const QFont f = w->font();
        QString line = QString::asprintf("%s %s %d,%d,%d,%d \"", qPrintable(w->objectName()),
                                         w->metaObject()->className(), at.x(), at.y(), at.width(),
                                         at.height()) +
                       text.replace('\n', "\\n") + "\" " +
                       (align.isValid() ? QString::number(align.toInt(), 16) : "") + ' ' +
                       (f.pointSize() > 0 ? QString::number(f.pointSize()) + "pt"
                                          : QString::number(f.pixelSize()) + "px") +
                       (f.bold() ? " bold" : "") + (f.italic() ? " italic" : "") + ' ' +
                       w->palette().color(w->foregroundRole()).name();
        if (w->autoFillBackground()) // on a hidden tab: the face it would be drawn on
            line += " on " + (w->isVisible() ? face(w) : w->palette().window().color().name());
        if (w->style() != window->style()) // a style of its own draws its frame
            line += " drawn " + w->style()->name();
        for (const QString& told : {w->accessibleName(), w->accessibleDescription()})
            if (!told.isEmpty())
                line += " [" + told + ']';
        lines << line;
    }
    if (main)
        for (const QAction* bar : main->menuBar()->actions()) {
            lines << bar->menu()->objectName() + '=' + bar->text();
            for (const QAction* entry : bar->menu()->actions())
                lines << "  " + entry->objectName() + '=' + entry->text();
        }
    return lines;
}

// Compares with the reviewed reference beside the test, in which @VERSION@ stands for
// the program's version. A window that differs is written out beside the test program
// (NAME.actual), to be looked at and, once right, taken as the reference.
inline void compareWithReference(const QStringList& actual, const QString& name)
{
    QFile reference(QStringLiteral(ZOREDEV_TESTS_DIR "/ui/") + name);
    QVERIFY2(reference.open(QIODevice::ReadOnly), qPrintable("no reference " + name));
    const QStringList expected = QString::fromUtf8(reference.readAll())
                                     .replace("@VERSION@", ZOREDEV_VERSION)
                                     .split('\n', Qt::SkipEmptyParts);
    if (actual != expected) {
        QFile out(name + ".actual");
        if (out.open(QIODevice::WriteOnly))
            out.write((actual.join('\n') + '\n').toUtf8());
    }
    QCOMPARE(actual, expected);
}
