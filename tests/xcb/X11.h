#pragma once
// What the X server holds for a window, asked on Qt's own connection (so every request Qt
// made before is already carried out): its properties and its place on the screen. Also a
// finger's touch on the display, and what a program started on it needs.

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <QProcessEnvironment>
#include <QRect>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdlib>

namespace x11 {

inline xcb_connection_t* connection()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

inline xcb_atom_t atom(const char* name)
{
    auto cookie = xcb_intern_atom(connection(), 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection(), cookie, nullptr);
    xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

// The property's bytes, whatever its type; empty when the window has none.
inline QByteArray property(xcb_window_t window, const char* name)
{
    auto cookie = xcb_get_property(connection(), 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection(), cookie, nullptr);
    QByteArray bytes;
    if (reply)
        bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return bytes;
}

// The window's title as the window manager and the task bar read it.
inline QString title(xcb_window_t window) { return QString::fromUtf8(property(window, "_NET_WM_NAME")); }

// Where the window lies on the screen (its parent is the root: there is no window manager).
inline QRect geometry(xcb_window_t window)
{
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), window), nullptr);
    QRect rect = reply ? QRect(reply->x, reply->y, reply->width, reply->height) : QRect();
    std::free(reply);
    return rect;
}

// The windows of every program on the display.
inline QList<xcb_window_t> topLevels()
{
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection())).data;
    xcb_query_tree_reply_t* reply = xcb_query_tree_reply(connection(), xcb_query_tree(connection(), screen->root), nullptr);
    QList<xcb_window_t> windows;
    if (reply) {
        const xcb_window_t* children = xcb_query_tree_children(reply);
        for (int i = 0; i < xcb_query_tree_children_length(reply); ++i)
            windows << children[i];
    }
    std::free(reply);
    return windows;
}

inline bool mapped(xcb_window_t window)
{
    xcb_get_window_attributes_reply_t* reply =
        xcb_get_window_attributes_reply(connection(), xcb_get_window_attributes(connection(), window), nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return viewable;
}

// The shown window of any program on the display with that title, or 0.
inline xcb_window_t shownWindow(const QString& title)
{
    for (xcb_window_t window : topLevels())
        if (mapped(window) && x11::title(window) == title)
            return window;
    return 0;
}

// A finger on the screen: the pointer moves there, then presses and lets go.
inline void touch(const QPoint& at)
{
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
    xcb_test_fake_input(connection(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, qint16(at.x()), qint16(at.y()), 0);
    xcb_test_fake_input(connection(), XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_test_fake_input(connection(), XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_flush(connection());
}

// What a program the test starts needs, beside the test's own environment, to show on this display.
inline QProcessEnvironment programEnvironment()
{
    QProcessEnvironment environment;
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", qEnvironmentVariable("ZENOBRA_TEST_DISPLAY"));
    return environment;
}

} // namespace x11

