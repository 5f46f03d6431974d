#include "MapWatch.h"

#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <xcb/xcb.h>

MapWatch::MapWatch() : m_connection(xcb_connect(nullptr, nullptr))
{
    if (xcb_connection_has_error(m_connection)) {
        std::fprintf(stderr, "cannot open the X display\n");
        std::exit(1);
    }
    // Children of the root window are the top-level windows: their maps reach us
    // as soon as the server performs them.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

MapWatch::~MapWatch()
{
    xcb_disconnect(m_connection);
}

void MapWatch::drain()
{
    // A round trip makes sure every event the server sent so far has arrived.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}

std::int64_t MapWatch::nextMap(int timeoutMs)
{
    pollfd wait{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return bench::monotonicNs();
        }
        if (poll(&wait, 1, timeoutMs) <= 0)
            return -1;
    }
}
