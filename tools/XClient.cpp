// SPDX-License-Identifier: GPL-2.0-or-later
#include "XClient.h"

#include <xcb/damage.h>
#include <xcb/xtest.h>

#include <cstring>
#include <memory>
#include <poll.h>
#include <time.h>
#include <utility>

namespace
{
// Drawing that stops for this long is taken as a finished paint.
const int settleMs = 200;

// Flags and field offsets of WM_SIZE_HINTS, in 32-bit words (ICCCM 4.1.2.3).
const uint32_t minSizeFlag = 1 << 4;
const uint32_t maxSizeFlag = 1 << 5;
const int hintsWords = 9;

const xcb_keysym_t controlKey = 0xffe3; // XK_Control_L
const xcb_keysym_t tabKey = 0xff09;     // XK_Tab

template <typename T> using Reply = std::unique_ptr<T, decltype(&free)>;

template <typename T> Reply<T> reply(T *pointer)
{
    return Reply<T>(pointer, &free);
}

qint64 monotonicMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
} // namespace

XClient::XClient(const QByteArray &display)
{
    int screenNumber = 0;
    m_connection = xcb_connect(
        display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t screens =
        xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    m_root = screens.data->root;

    const xcb_query_extension_reply_t *damage =
        xcb_get_extension_data(m_connection, &xcb_damage_id);
    const xcb_query_extension_reply_t *xtest =
        xcb_get_extension_data(m_connection, &xcb_test_id);
    if (!damage || !damage->present || !xtest || !xtest->present)
        return;
    m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    free(xcb_damage_query_version_reply(
        m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr));

    m_startupInfoBegin = atom("_NET_STARTUP_INFO_BEGIN");
    m_startupInfo = atom("_NET_STARTUP_INFO");
    // Startup notification messages go to the root with this mask.
    const uint32_t mask =
        XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK,
                                 &mask);
    // Damage on the root reports drawing in every window on the screen, so
    // no paint can happen between a map and our watching it.
    xcb_damage_create(m_connection, xcb_generate_id(m_connection), m_root,
                      XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    sync();
    m_ready = !xcb_connection_has_error(m_connection);
}

XClient::~XClient()
{
    xcb_disconnect(m_connection);
}

xcb_window_t XClient::waitForMap(const QString &title, int timeoutMs,
                                 int stopFd)
{
    const qint64 deadline = monotonicMs() + timeoutMs;
    int next = 0;
    do {
        for (; next < m_maps.size(); ++next) {
            Map &map = m_maps[next];
            if (!map.claimed && map.title == title) {
                map.claimed = true;
                return map.window;
            }
        }
    } while (handleNextEvent(deadline, stopFd));
    return 0;
}

int XClient::mapCount(const QString &title)
{
    sync();
    int count = 0;
    for (const Map &map : qAsConst(m_maps))
        count += map.title == title;
    return count;
}

QByteArrayList XClient::startupMessages()
{
    sync();
    return m_startupMessages;
}

bool XClient::waitForPaint(xcb_window_t window, int timeoutMs)
{
    const QRect area = rootGeometry(window);
    const qint64 deadline = monotonicMs() + timeoutMs;
    auto lastDrawn = [&]() -> qint64 {
        for (int i = m_damage.size() - 1; i >= m_paintFrom.value(window); --i) {
            if (m_damage[i].second.intersects(area))
                return m_damage[i].first;
        }
        return -1;
    };
    for (;;) {
        const qint64 drawn = lastDrawn();
        const qint64 now = monotonicMs();
        if (drawn >= 0 && now >= drawn + settleMs)
            break;
        if (now >= deadline)
            return false;
        const qint64 wakeUp = drawn >= 0 ? drawn + settleMs : deadline;
        if (!handleNextEvent(qMin(wakeUp, deadline)) &&
            xcb_connection_has_error(m_connection))
            return false;
    }
    m_paintFrom.insert(window, m_damage.size());
    return true;
}

bool XClient::waitForDestroy(xcb_window_t window, int timeoutMs)
{
    return waitUntil([&] { return m_destroyed.contains(window); }, timeoutMs);
}

void XClient::lower(xcb_window_t window)
{
    const uint32_t bottom = XCB_STACK_MODE_BELOW;
    xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_STACK_MODE,
                         &bottom);
    sync();
    // Only a restack from here on counts as a raise.
    m_stackedOn.insert(window, XCB_NONE);
}

bool XClient::waitForRaise(xcb_window_t window, int timeoutMs)
{
    return waitUntil(
        [&] { return m_stackedOn.value(window, XCB_NONE) != XCB_NONE; },
        timeoutMs);
}

bool XClient::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const qint64 deadline = monotonicMs() + timeoutMs;
    do {
        if (done())
            return true;
    } while (handleNextEvent(deadline));
    return false;
}

QSize XClient::size(xcb_window_t window)
{
    auto geometry = reply(xcb_get_geometry_reply(
        m_connection, xcb_get_geometry(m_connection, window), nullptr));
    return geometry ? QSize(geometry->width, geometry->height) : QSize();
}

SizeHints XClient::sizeHints(xcb_window_t window)
{
    auto property = reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, false, window, XCB_ATOM_WM_NORMAL_HINTS,
                         XCB_ATOM_WM_SIZE_HINTS, 0, hintsWords),
        nullptr));
    SizeHints hints;
    if (!property || property->format != 32 ||
        xcb_get_property_value_length(property.get()) < hintsWords * 4)
        return hints;
    const auto *words =
        static_cast<const uint32_t *>(xcb_get_property_value(property.get()));
    if (words[0] & minSizeFlag)
        hints.minimum = QSize(int(words[5]), int(words[6]));
    if (words[0] & maxSizeFlag)
        hints.maximum = QSize(int(words[7]), int(words[8]));
    return hints;
}

void XClient::close(xcb_window_t window)
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    // With no event mask the server hands it to the window's owner.
    xcb_send_event(m_connection, false, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(m_connection);
}

bool XClient::showNextTab(xcb_window_t window, int timeoutMs)
{
    pressKeys(window, {controlKey, tabKey});
    return waitForPaint(window, timeoutMs);
}

void XClient::pressKeys(xcb_window_t window, const QVector<xcb_keysym_t> &keys)
{
    sync();
    m_paintFrom.insert(window, m_damage.size());
    xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_POINTER_ROOT, window,
                        XCB_CURRENT_TIME);
    for (xcb_keysym_t key : keys)
        xcb_test_fake_input(m_connection, XCB_KEY_PRESS, keycode(key),
                            XCB_CURRENT_TIME, m_root, 0, 0, 0);
    for (int i = keys.size() - 1; i >= 0; --i)
        xcb_test_fake_input(m_connection, XCB_KEY_RELEASE, keycode(keys[i]),
                            XCB_CURRENT_TIME, m_root, 0, 0, 0);
    xcb_flush(m_connection);
}

QImage XClient::grab(xcb_window_t window)
{
    const QSize extent = size(window);
    if (extent.isEmpty())
        return QImage();
    auto pixels = reply(xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                      uint16_t(extent.width()), uint16_t(extent.height()), ~0u),
        nullptr));
    // Xvfb's 24-bit depth keeps 32 bits per pixel, the layout of RGB32.
    if (!pixels || pixels->depth != 24 ||
        xcb_get_image_data_length(pixels.get()) !=
            extent.width() * extent.height() * 4)
        return QImage();
    return QImage(xcb_get_image_data(pixels.get()), extent.width(),
                  extent.height(), QImage::Format_RGB32)
        .copy();
}

bool XClient::handleNextEvent(qint64 deadline, int stopFd)
{
    xcb_generic_event_t *event = xcb_poll_for_queued_event(m_connection);
    while (!event) {
        const qint64 left = deadline - monotonicMs();
        if (left <= 0 || xcb_connection_has_error(m_connection))
            return false;
        pollfd fds[2] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0},
                         {stopFd, POLLIN, 0}};
        if (poll(fds, stopFd >= 0 ? 2 : 1, int(left)) > 0 && fds[1].revents)
            return false;
        event = xcb_poll_for_event(m_connection);
    }
    handle(event);
    free(event);
    return true;
}

void XClient::handle(xcb_generic_event_t *event)
{
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_MAP_NOTIFY) {
        const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
        if (map->event == m_root && !map->override_redirect) {
            m_maps.append({map->window, title(map->window), false});
            m_paintFrom.insert(map->window, m_damage.size());
            // The server hands a closed client's ids to the next one.
            m_destroyed.removeAll(map->window);
        }
    } else if (type == XCB_CONFIGURE_NOTIFY) {
        const auto *configure =
            reinterpret_cast<xcb_configure_notify_event_t *>(event);
        m_stackedOn.insert(configure->window, configure->above_sibling);
    } else if (type == XCB_DESTROY_NOTIFY) {
        m_destroyed.append(
            reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window);
    } else if (type == m_damageEvent) {
        const auto *damage =
            reinterpret_cast<xcb_damage_notify_event_t *>(event);
        const xcb_rectangle_t &r = damage->area;
        m_damage.append({monotonicMs(), QRect(r.x, r.y, r.width, r.height)});
    } else if (type == XCB_CLIENT_MESSAGE) {
        appendStartupMessage(
            reinterpret_cast<xcb_client_message_event_t *>(event));
    }
}

void XClient::appendStartupMessage(const xcb_client_message_event_t *piece)
{
    // A message comes in pieces of 20 bytes, the first of its own type, up
    // to a NUL.
    if (piece->format != 8)
        return;
    if (piece->type == m_startupInfoBegin)
        m_startupMessage.clear();
    else if (piece->type != m_startupInfo)
        return;
    const auto *text = reinterpret_cast<const char *>(piece->data.data8);
    const int length = int(qstrnlen(text, sizeof piece->data.data8));
    m_startupMessage.append(text, length);
    if (length < int(sizeof piece->data.data8))
        m_startupMessages.append(std::exchange(m_startupMessage, {}));
}

void XClient::sync()
{
    free(xcb_get_input_focus_reply(m_connection,
                                   xcb_get_input_focus(m_connection), nullptr));
    while (xcb_generic_event_t *event =
               xcb_poll_for_queued_event(m_connection)) {
        handle(event);
        free(event);
    }
}

xcb_atom_t XClient::atom(const char *name)
{
    auto interned = reply(xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, false, uint16_t(strlen(name)), name),
        nullptr));
    return interned ? interned->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void XClient::announceSupport(const char *hint)
{
    const xcb_atom_t supported = atom(hint);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root,
                        atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 1,
                        &supported);
    sync();
}

QString XClient::title(xcb_window_t window)
{
    return QString::fromUtf8(property(window, "_NET_WM_NAME"));
}

QByteArray XClient::property(xcb_window_t window, const char *name)
{
    // All of _NET_WM_ICON, the largest property Qt sets: icons of up to
    // 128 x 128 pixels.
    const uint32_t maxWords = 65536;
    auto value = reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, false, window, atom(name),
                         XCB_GET_PROPERTY_TYPE_ANY, 0, maxWords),
        nullptr));
    if (!value)
        return QByteArray();
    return QByteArray(
        static_cast<const char *>(xcb_get_property_value(value.get())),
        xcb_get_property_value_length(value.get()));
}

QRect XClient::rootGeometry(xcb_window_t window)
{
    auto geometry = reply(xcb_get_geometry_reply(
        m_connection, xcb_get_geometry(m_connection, window), nullptr));
    auto position = reply(xcb_translate_coordinates_reply(
        m_connection,
        xcb_translate_coordinates(m_connection, window, m_root, 0, 0),
        nullptr));
    if (!geometry || !position)
        return QRect();
    return QRect(position->dst_x, position->dst_y, geometry->width,
                 geometry->height);
}

xcb_keycode_t XClient::keycode(xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto mapping = reply(xcb_get_keyboard_mapping_reply(
        m_connection,
        xcb_get_keyboard_mapping(m_connection, setup->min_keycode,
                                 uint8_t(count)),
        nullptr));
    if (!mapping)
        return 0;
    const xcb_keysym_t *keysyms =
        xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int i = 0; i < count * perKeycode; ++i) {
        if (keysyms[i] == keysym)
            return xcb_keycode_t(setup->min_keycode + i / perKeycode);
    }
    return 0;
}
