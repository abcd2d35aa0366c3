#include "platform/window_frame.h"

#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#ifdef NIMBOLT_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The atoms of names, in one round trip to the server: every request goes out before the
// first reply is awaited, which a remote display rewards.
template <std::size_t N>
std::array<xcb_atom_t, N> internAtoms(xcb_connection_t* connection,
                                      const std::array<const char*, N>& names)
{
    std::array<xcb_intern_atom_cookie_t, N> cookies;
    for (std::size_t i = 0; i < N; ++i) {
        const auto length = static_cast<std::uint16_t>(std::strlen(names[i]));
        cookies[i] = xcb_intern_atom(connection, 0, length, names[i]);
    }
    std::array<xcb_atom_t, N> atoms;
    for (std::size_t i = 0; i < N; ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    return atoms;
}

template <typename T, std::size_t N>
void setProperty(xcb_connection_t* connection, std::uint8_t mode, xcb_window_t window,
                 xcb_atom_t property, xcb_atom_t type, const std::array<T, N>& values)
{
    xcb_change_property(connection, mode, window, property, type, 32, static_cast<std::uint32_t>(N),
                        values.data());
}

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The 32-bit values of a window property; empty when it is not set.
std::vector<std::uint32_t> property(xcb_connection_t* connection, xcb_window_t window,
                                    xcb_atom_t name)
{
    const auto cookie
        = xcb_get_property(connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

}  // namespace
#endif

void useBorderOnlyFrame(QWidget* window)
{
#ifdef NIMBOLT_HAVE_XCB
    xcb_connection_t* connection = x11Connection();
    if (!connection)  // another window system
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // _MOTIF_WM_HINTS: flags (functions and decorations given), functions (move only),
    // decorations (border only), input mode, status.
    constexpr std::uint32_t kHintFunctions = 1u << 0, kHintDecorations = 1u << 1;
    constexpr std::uint32_t kFunctionMove = 1u << 2, kDecorationBorder = 1u << 1;
    const auto [motif, state, skipTaskbar, skipPager]
        = internAtoms<4>(connection,
                         {"_MOTIF_WM_HINTS", "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                          "_NET_WM_STATE_SKIP_PAGER"});
    setProperty(connection, XCB_PROP_MODE_REPLACE, id, motif, motif,
                std::array<std::uint32_t, 5>{kHintFunctions | kHintDecorations, kFunctionMove,
                                             kDecorationBorder, 0, 0});
    // Qt keeps states already set when it maps the window.
    setProperty(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM,
                std::array<xcb_atom_t, 2>{skipTaskbar, skipPager});
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

QMargins expectedFrameMargins(QWidget* window)
{
#ifdef NIMBOLT_HAVE_XCB
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return {};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto [request, supportedName, extents] = internAtoms<3>(
        connection, {"_NET_REQUEST_FRAME_EXTENTS", "_NET_SUPPORTED", "_NET_FRAME_EXTENTS"});
    const std::vector<std::uint32_t> supported = property(connection, root, supportedName);
    if (std::find(supported.begin(), supported.end(), request) == supported.end())
        return {};  // no window manager, or one that cannot say
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    // The window manager answers at once; a quarter of a second bounds the wait if it does not.
    for (int attempt = 0; attempt < 25; ++attempt) {
        const std::vector<std::uint32_t> ltrb = property(connection, id, extents);
        if (ltrb.size() == 4)
            return QMargins(int(ltrb[0]), int(ltrb[2]), int(ltrb[1]), int(ltrb[3]));
        QThread::msleep(10);
    }
#else
    Q_UNUSED(window);
#endif
    return {};
}
