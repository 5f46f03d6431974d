#pragma once

#include <thread>

// Reading the font configuration is the longest single step of a start: several
// milliseconds of parsing XML and cache files, and nothing in it needs Qt. It
// runs on a second core while QApplication brings up the platform.
class FontConfigWarmUp
{
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    // Waits for the configuration. Call it before the first widget measures a
    // text: Qt asking while the thread still reads would read it a second time.
    void finish();

private:
    std::thread m_thread;
};
