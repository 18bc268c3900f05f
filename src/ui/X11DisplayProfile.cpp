#include "ui/X11DisplayProfile.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <xcb/xcb.h>

namespace pirela {

namespace {

// No display profile is larger; a property claiming more is not read.
constexpr std::uint32_t kMostProfileWords = (16u << 20) / 4;

struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
struct Free {
    void operator()(void* reply) const { std::free(reply); }
};

xcb_window_t RootOf(xcb_connection_t* connection, int screenNumber) {
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; screens.rem > 0; ++i, xcb_screen_next(&screens)) {
        if (i == screenNumber) {
            return screens.data->root;
        }
    }
    return XCB_WINDOW_NONE;
}

} // namespace

std::vector<std::uint8_t> ReadX11DisplayProfile() {
    if (std::getenv("DISPLAY") == nullptr) {
        return {};
    }
    int screenNumber = 0;
    const std::unique_ptr<xcb_connection_t, Disconnect> connection(
        xcb_connect(nullptr, &screenNumber));
    if (!connection || xcb_connection_has_error(connection.get()) != 0) {
        return {};
    }
    const xcb_window_t root = RootOf(connection.get(), screenNumber);
    const std::string name =
        screenNumber == 0 ? "_ICC_PROFILE" : "_ICC_PROFILE_" + std::to_string(screenNumber);
    const std::unique_ptr<xcb_intern_atom_reply_t, Free> atom(xcb_intern_atom_reply(
        connection.get(),
        xcb_intern_atom(connection.get(), 1, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    if (root == XCB_WINDOW_NONE || !atom || atom->atom == XCB_ATOM_NONE) {
        return {};
    }
    const std::unique_ptr<xcb_get_property_reply_t, Free> property(
        xcb_get_property_reply(connection.get(),
                               xcb_get_property(connection.get(), 0, root, atom->atom,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, kMostProfileWords),
                               nullptr));
    if (!property || property->format != 8 || property->bytes_after != 0) {
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(xcb_get_property_value(property.get()));
    return std::vector<std::uint8_t>(bytes, bytes + xcb_get_property_value_length(property.get()));
}

} // namespace pirela
