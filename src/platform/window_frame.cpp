#include "platform/window_frame.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef NIMBOLT_HAVE_XCB
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

template <typename T, std::size_t N>
void setProperty(xcb_connection_t* connection, std::uint8_t mode, xcb_window_t window, xcb_atom_t property,
                 xcb_atom_t type, const std::array<T, N>& values)
{
    xcb_change_property(connection, mode, window, property, type, 32, static_cast<std::uint32_t>(N), values.data());
}

} // namespace
#endif

void useBorderOnlyFrame(QWidget* window)
{
#ifdef NIMBOLT_HAVE_XCB
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)  // another window system
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // _MOTIF_WM_HINTS: flags (functions and decorations given), functions (move only),
    // decorations (border only), input mode, status.
    constexpr std::uint32_t kHintFunctions = 1u << 0, kHintDecorations = 1u << 1;
    constexpr std::uint32_t kFunctionMove = 1u << 2, kDecorationBorder = 1u << 1;
    const xcb_atom_t motif = internAtom(connection, "_MOTIF_WM_HINTS");
    setProperty(connection, XCB_PROP_MODE_REPLACE, id, motif, motif,
                std::array<std::uint32_t, 5>{kHintFunctions | kHintDecorations, kFunctionMove, kDecorationBorder, 0, 0});
    // Qt keeps states already set when it maps the window.
    setProperty(connection, XCB_PROP_MODE_APPEND, id, internAtom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM,
                std::array<xcb_atom_t, 2>{internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                          internAtom(connection, "_NET_WM_STATE_SKIP_PAGER")});
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}
