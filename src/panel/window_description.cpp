#include "window_description.h"

#include <algorithm>
#include <array>

namespace motor::panel {
namespace {

using enum Control;

constexpr Flags tab_stop{.tab_stop = true};
constexpr Flags shown{};
constexpr Flags no_place{.visible = false};

constexpr Unit button(Control name, Control parent, Geometry g, std::string_view caption,
                      EventSet events) {
    return {.kind = UnitKind::button,
            .name = name,
            .parent = parent,
            .geometry = g,
            .caption = caption,
            .flags = tab_stop,
            .events = events};
}

constexpr Unit label(Control name, Control parent, Geometry g, std::string_view caption,
                     Align align = Align::centre, int font_pixel_height = 0) {
    return {.kind = UnitKind::label,
            .name = name,
            .parent = parent,
            .geometry = g,
            .caption = caption,
            .flags = shown,
            .background = ORANGE,
            .text_colour = BLACK,
            .align = align,
            .font_pixel_height = font_pixel_height};
}

constexpr Unit edit_box(Control name, Control parent, Geometry g, std::string_view text,
                        Colour background, int max_length, InputMode mode, EventSet events = 0) {
    return {.kind = UnitKind::edit_box,
            .name = name,
            .parent = parent,
            .geometry = g,
            .caption = text,
            .flags = tab_stop,
            .events = events,
            .background = background,
            .text_colour = BLACK,
            .max_length = max_length,
            .input_mode = mode};
}

constexpr Unit group_box(Control name, Geometry g, std::string_view title) {
    return {.kind = UnitKind::group_box,
            .name = name,
            .geometry = g,
            .caption = title,
            .flags = shown,
            .background = ORANGE,
            .text_colour = BLACK};
}

constexpr Unit timer(Control name, std::optional<Control> parent, int period_ms) {
    return {.kind = UnitKind::timer,
            .name = name,
            .parent = parent,
            .flags = no_place,
            .events = static_cast<EventSet>(Event::tick),
            .period_ms = period_ms};
}

constexpr Unit menu_entry(UnitKind kind, std::string_view caption) {
    return {.kind = kind,
            .caption = caption,
            .flags = shown,
            .events = kind == UnitKind::menu_item ? static_cast<EventSet>(Event::chosen) : 0,
            .menu_level = kind == UnitKind::menu_item ? 1 : 0};
}

constexpr EventSet click = static_cast<EventSet>(Event::click);
constexpr EventSet click_and_keys = Event::click | Event::key_release;
constexpr EventSet port_button = Event::left_press | Event::key_release;

constexpr std::array units = {
    Unit{.kind = UnitKind::window,
         .geometry = {50, 50, 473, 470},
         .caption = "KV7514-9600",
         .flags = shown,
         .events = Event::created | Event::destroying | Event::size_change |
                   Event::tray_notification | Event::close_request | Event::first_activation,
         .background = ORANGE,
         .style = {.centred = true,
                   .fixed_frame = true,
                   .minimise_box = true,
                   .maximise_box = false,
                   .menu_bar = true,
                   .esc_closes = true,
                   .enter_moves_focus = false}},
    button(按钮_恢复出厂运行方向, 分组框3, {8, 200, 120, 40}, "恢复出厂运行方向", click),
    button(按钮_改变运行方向, 分组框3, {136, 200, 128, 40}, "改变运行方向", click),
    button(按钮1, 分组框3, {352, 136, 80, 40}, "对码", click),
    button(按钮_开预留, 分组框3, {8, 136, 80, 40}, "开预留", click),
    button(按钮_关预留, 分组框3, {112, 136, 96, 40}, "关预留", click),
    button(按钮_恢复出厂预留, 分组框3, {224, 136, 112, 40}, "恢复出厂预留", click),
    timer(时钟_闪烁定时, std::nullopt, 0),
    label(标签6, 分组框5, {8, 120, 104, 24}, "通读所取得的地址=", Align::left),
    edit_box(编辑框_通读地址, 分组框5, {120, 120, 80, 24}, "", SILVER, 0, InputMode::read_only),
    button(按钮_通读地址, 分组框5, {8, 80, 192, 24}, "通读地址A", click_and_keys),
    label(标签2, 分组框1, {24, 72, 88, 24}, "实际位置"),
    edit_box(编辑框_实际位置, 分组框1, {112, 72, 96, 24}, "50", WHITE, 3, InputMode::byte),
    timer(时钟1, 分组框3, 500),
    button(按钮_全速开, 分组框3, {8, 72, 80, 40}, "开手拉启动", click_and_keys),
    button(按钮_全速关, 分组框3, {352, 72, 80, 40}, "关手拉启动", click_and_keys),
    button(按钮_读当前位置, 分组框3, {224, 72, 112, 40}, "读当前位置D", click_and_keys),
    label(标签3, 分组框1, {24, 120, 88, 24}, "目标地址"),
    label(标签1, 分组框1, {24, 32, 88, 24}, "目地位置"),
    edit_box(编辑框_目标位置, 分组框1, {112, 32, 96, 24}, "50", WHITE, 3, InputMode::byte,
             static_cast<EventSet>(Event::focus_loss)),
    edit_box(编辑框_目标地址, 分组框1, {112, 120, 96, 24}, "010203", WHITE, 6, InputMode::normal,
             static_cast<EventSet>(Event::char_input)),
    Unit{.kind = UnitKind::serial_port,
         .name = 串口,
         .parent = 分组框3,
         .flags = no_place,
         .events = static_cast<EventSet>(Event::byte_received)},
    button(按钮_COM减, 分组框5, {8, 16, 48, 24}, "COM-", port_button),
    label(标签_COM, 分组框5, {72, 16, 64, 24}, "COM1"),
    button(按钮_COM加, 分组框5, {152, 16, 48, 24}, "COM+", port_button),
    label(标签_端口选择, 分组框5, {8, 40, 192, 24}, "标签", Align::centre, 12),
    menu_entry(UnitKind::menu, "托盘右键"),
    menu_entry(UnitKind::menu_item, "退出程序"),
    menu_entry(UnitKind::menu_item, "显示窗口"),
    menu_entry(UnitKind::menu_item, "窗口最小化"),
    menu_entry(UnitKind::menu_item, "退出"),
    group_box(分组框5, {8, 8, 208, 152}, ""),
    button(按钮_停, 分组框3, {176, 16, 80, 40}, "停XVN", click_and_keys),
    button(按钮_比例控制, 分组框3, {112, 72, 96, 40}, "比例控制S", click_and_keys),
    button(按钮_关, 分组框3, {352, 16, 80, 40}, "关BM", click_and_keys),
    button(按钮_开, 分组框3, {8, 16, 80, 40}, "开ZC", click_and_keys),
    group_box(分组框3, {8, 160, 448, 248}, ""),
    group_box(分组框1, {232, 8, 224, 152}, "地址为十六进制(HEX)"),
};

// Every control appears exactly once, so unit_of can index by the enumerator.
constexpr auto unit_index_by_control = [] {
    std::array<std::size_t, control_count> index{};
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i].name) index[static_cast<std::size_t>(*units[i].name)] = i;
    }
    return index;
}();

}  // namespace

std::span<const Unit> window_description() {
    return units;
}

const Unit& window_unit() {
    return units.front();
}

const Unit& unit_of(Control c) {
    return units[unit_index_by_control[static_cast<std::size_t>(c)]];
}

std::vector<Control> tab_cycle() {
    std::vector<const Unit*> stops;
    for (const Unit& u : units) {
        if (u.name && u.flags.visible && !u.flags.disabled && u.flags.tab_stop) stops.push_back(&u);
    }
    std::reverse(stops.begin(), stops.end());
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Unit* a, const Unit* b) { return a->tab_key < b->tab_key; });
    std::vector<Control> cycle;
    for (const Unit* u : stops) cycle.push_back(*u->name);
    return cycle;
}

}  // namespace motor::panel
