#include "ui/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>

FontConfigWarmUp::FontConfigWarmUp()
{
    // On a single core the thread would only take turns with the start it is
    // meant to run beside.
    if (std::thread::hardware_concurrency() > 1)
        m_thread = std::thread([] { FcInit(); });
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    finish();
}

void FontConfigWarmUp::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}
