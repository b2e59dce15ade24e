// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TOOLS_XCLIENT_H
#define QUILMO_TOOLS_XCLIENT_H

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include <xcb/xcb.h>

#include <functional>

/// The size limits a window asks the window manager for (WM_NORMAL_HINTS);
/// a limit the window does not set is an invalid QSize.
struct SizeHints {
    QSize minimum;
    QSize maximum;
};

/**
 * @brief An X connection that watches other clients' top-level windows.
 *
 * It listens from its construction on, so create it before starting the
 * client to watch. Every wait blocks on X events (MapNotify, DestroyNotify,
 * DAMAGE), never on a timer that polls the window tree. Under a bare X
 * server there is no window manager: close() sends the message one would
 * send, and sizeHints() reads the limits one would obey.
 */
class XClient
{
public:
    /// Connects to @p display, or to $DISPLAY when it is empty.
    explicit XClient(const QByteArray &display = QByteArray());
    ~XClient();
    XClient(const XClient &) = delete;
    XClient &operator=(const XClient &) = delete;

    /// False when the server could not be reached or lacks DAMAGE or XTEST.
    bool isConnected() const { return m_ready; }

    /**
     * Waits for a top-level window titled @p title (_NET_WM_NAME) to be
     * mapped; each window is returned once. Gives up early when @p stopFd
     * becomes readable (a pidfd: the client ended).
     * @return the window, 0 on timeout or stop
     */
    xcb_window_t waitForMap(const QString &title, int timeoutMs,
                            int stopFd = -1);
    /// Top-level windows titled @p title mapped so far, up to the server's
    /// present state.
    int mapCount(const QString &title);
    /// The startup notification messages (_NET_STARTUP_INFO) sent to the
    /// root window so far, up to the server's present state.
    QByteArrayList startupMessages();
    /// Waits until @p window is drawn after its map (or after its last
    /// key press) and then stays unchanged for a short while.
    bool waitForPaint(xcb_window_t window, int timeoutMs);
    /// Waits until @p window no longer exists.
    bool waitForDestroy(xcb_window_t window, int timeoutMs);
    /// Puts @p window under every other window, as if they covered it.
    void lower(xcb_window_t window);
    /// Waits until @p window is restacked above another window.
    bool waitForRaise(xcb_window_t window, int timeoutMs);

    QSize size(xcb_window_t window);
    SizeHints sizeHints(xcb_window_t window);
    /// Asks the owner to close @p window (WM_DELETE_WINDOW).
    void close(xcb_window_t window);
    /// Focuses @p window, presses Ctrl+Tab (a tab widget's key for its next
    /// page) and waits for the repaint.
    bool showNextTab(xcb_window_t window, int timeoutMs);
    /// The window's content as on screen; a null image on failure.
    QImage grab(xcb_window_t window);
    /// The raw value of the window's property @p name (WM_CLASS,
    /// _NET_WM_ICON ...), empty when it has none.
    QByteArray property(xcb_window_t window, const char *name);
    /// Lists @p hint in _NET_SUPPORTED, as a window manager that knows it.
    void announceSupport(const char *hint);

private:
    struct Map {
        xcb_window_t window;
        QString title;
        bool claimed;
    };

    /// Handles the next event; false when none came before @p deadline
    /// (CLOCK_MONOTONIC, ms) or @p stopFd became readable.
    bool handleNextEvent(qint64 deadline, int stopFd = -1);
    /// Handles events until @p done holds; false on timeout.
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    void handle(xcb_generic_event_t *event);
    void appendStartupMessage(const xcb_client_message_event_t *piece);
    /// Handles every event the server sent before this call.
    void sync();
    xcb_atom_t atom(const char *name);
    QString title(xcb_window_t window);
    QRect rootGeometry(xcb_window_t window);
    xcb_keycode_t keycode(xcb_keysym_t keysym);
    /// Focuses @p window and presses the keys (X keysyms) together, the
    /// first ones held down as modifiers.
    void pressKeys(xcb_window_t window, const QVector<xcb_keysym_t> &keys);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    bool m_ready = false;
    uint8_t m_damageEvent = 0;
    xcb_atom_t m_startupInfoBegin = XCB_ATOM_NONE;
    xcb_atom_t m_startupInfo = XCB_ATOM_NONE;
    QByteArray m_startupMessage; // the pieces so far
    QByteArrayList m_startupMessages;
    QVector<Map> m_maps;
    QVector<xcb_window_t> m_destroyed;
    /// Per window: the sibling it was last stacked on, none at the bottom.
    QHash<xcb_window_t, xcb_window_t> m_stackedOn;
    /// Every area drawn on screen, in the order reported, with the time
    /// (ms) it was reported.
    QVector<QPair<qint64, QRect>> m_damage;
    /// Per window: the index into m_damage from which drawing counts.
    QHash<xcb_window_t, int> m_paintFrom;
};

#endif
