#pragma once

#include <cstdint>

struct xcb_connection_t;

// Sees top-level windows being mapped on the X display named by DISPLAY.
class MapWatch
{
public:
    MapWatch();
    ~MapWatch();
    MapWatch(const MapWatch&) = delete;
    MapWatch& operator=(const MapWatch&) = delete;

    // Forgets every map seen so far.
    void drain();
    // CLOCK_MONOTONIC time at which the next top-level window was mapped, or -1 when
    // none was within the timeout.
    std::int64_t nextMap(int timeoutMs);

private:
    xcb_connection_t* m_connection;
};
