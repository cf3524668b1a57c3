#pragma once
// The panel's window as data: every unit with the properties it starts with, in list order.
// The list order decides the order of creation, the stacking order among units of one parent
// (earlier above later) and, reversed, the Tab order. Nothing here knows about widgets.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "control.h"
#include "window_ops.h"

namespace motor::panel {

enum class UnitKind {
    window,
    button,
    label,
    edit_box,
    group_box,
    timer,
    serial_port,
    menu,
    menu_item
};

// Events a unit reports to a handler; a unit has handlers for exactly the events it lists.
enum class Event : std::uint32_t {
    click = 1u << 0,
    key_release = 1u << 1,
    char_input = 1u << 2,
    focus_loss = 1u << 3,
    left_press = 1u << 4,
    tick = 1u << 5,
    byte_received = 1u << 6,
    chosen = 1u << 7,  // a menu item
    created = 1u << 8,
    destroying = 1u << 9,
    size_change = 1u << 10,
    tray_notification = 1u << 11,
    close_request = 1u << 12,
    first_activation = 1u << 13,
};
using EventSet = std::uint32_t;
constexpr EventSet operator|(Event a, Event b) {
    return static_cast<EventSet>(a) | static_cast<EventSet>(b);
}
constexpr EventSet operator|(EventSet a, Event b) {
    return a | static_cast<EventSet>(b);
}
constexpr bool has_event(EventSet set, Event e) {
    return (set & static_cast<EventSet>(e)) != 0;
}

struct Geometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const Geometry&, const Geometry&) = default;
};

struct Flags {
    bool visible = true;
    bool disabled = false;
    bool tab_stop = false;
};

enum class Align { centre, left };
enum class InputMode { normal, read_only, byte };

// Frame and behaviour of the window unit.
struct WindowStyle {
    bool centred = false;      // the stored position is not used
    bool fixed_frame = false;  // the user cannot resize
    bool minimise_box = false;
    bool maximise_box = false;
    bool menu_bar = false;
    bool esc_closes = false;
    bool enter_moves_focus = false;
};

inline constexpr Colour ORANGE = 0x000080FFu;
inline constexpr Colour WHITE = 0x00FFFFFFu;
inline constexpr Colour SILVER = 0x00C0C0C0u;
inline constexpr Colour BLACK = 0x00000000u;

struct Unit {
    UnitKind kind = UnitKind::window;
    std::optional<Control> name{};    // none: the window itself and the menu entries
    std::optional<Control> parent{};  // none: the window (for the window itself: the screen)
    // Relative to the parent's client area; for the window, screen position and outer size.
    Geometry geometry{};
    std::string_view caption{};  // caption, title or initial text, UTF-8
    Flags flags{};
    int tab_key = 0;
    EventSet events = 0;
    Colour background = DEFAULT_COLOUR;  // DEFAULT_COLOUR: the system's button colours
    Colour text_colour = DEFAULT_COLOUR;
    int max_length = 0;  // 0: no limit
    Align align = Align::centre;
    InputMode input_mode = InputMode::normal;
    int font_pixel_height = 0;  // 0: the system's default font for controls
    int period_ms = 0;          // timers; 0 is stopped
    int menu_level = 0;         // 0 the menu on the menu bar, 1 its items
    WindowStyle style{};
};

// All units, the window first, in list order.
std::span<const Unit> window_description();
const Unit& window_unit();
const Unit& unit_of(Control c);

// The controls Tab visits, starting with the first: visible, enabled tab stops, ordered by
// tab key and then from the last unit of the list to the first.
std::vector<Control> tab_cycle();

// Top-left of a window of the given outer extent centred on a screen, per axis, with the
// division truncating toward zero.
constexpr int centred_offset(int screen_extent, int outer_extent) {
    return (screen_extent - outer_extent) / 2;
}

}  // namespace motor::panel
