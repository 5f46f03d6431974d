#pragma once

#include <QObject>

class QWidget;

// Built into a program beside its own main(), which stays as it is: once the
// QApplication exists, this waits for the first paint of a top-level window and,
// when that whole frame has been drawn and handed to the platform, prints one line
//   main_ns=<t> painted_ns=<t> hwm_kb=<n> size=<w>x<h>
// and ends the event loop. main_ns is taken by a static initialiser, just before
// main() runs; the times are CLOCK_MONOTONIC, so the spawning process can subtract.
class FirstPaintReporter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report(QWidget* window);
};
