#include "window_description.h"

#include <gtest/gtest.h>

#include <string>

namespace motor::panel {
namespace {

using enum Control;

struct Listed {
    std::optional<Control> name;  // none: a menu entry
    UnitKind kind;
    std::optional<Control> parent;
    Geometry geometry;
    std::string_view caption;
};

constexpr auto window = std::nullopt;
constexpr Geometry no_place{};

// The window's parts as the panel is laid out, in list order after the window itself.
const std::vector<Listed> listed = {
    {按钮_恢复出厂运行方向, UnitKind::button, 分组框3, {8, 200, 120, 40}, "恢复出厂运行方向"},
    {按钮_改变运行方向, UnitKind::button, 分组框3, {136, 200, 128, 40}, "改变运行方向"},
    {按钮1, UnitKind::button, 分组框3, {352, 136, 80, 40}, "对码"},
    {按钮_开预留, UnitKind::button, 分组框3, {8, 136, 80, 40}, "开预留"},
    {按钮_关预留, UnitKind::button, 分组框3, {112, 136, 96, 40}, "关预留"},
    {按钮_恢复出厂预留, UnitKind::button, 分组框3, {224, 136, 112, 40}, "恢复出厂预留"},
    {时钟_闪烁定时, UnitKind::timer, window, no_place, ""},
    {标签6, UnitKind::label, 分组框5, {8, 120, 104, 24}, "通读所取得的地址="},
    {编辑框_通读地址, UnitKind::edit_box, 分组框5, {120, 120, 80, 24}, ""},
    {按钮_通读地址, UnitKind::button, 分组框5, {8, 80, 192, 24}, "通读地址A"},
    {标签2, UnitKind::label, 分组框1, {24, 72, 88, 24}, "实际位置"},
    {编辑框_实际位置, UnitKind::edit_box, 分组框1, {112, 72, 96, 24}, "50"},
    {时钟1, UnitKind::timer, 分组框3, no_place, ""},
    {按钮_全速开, UnitKind::button, 分组框3, {8, 72, 80, 40}, "开手拉启动"},
    {按钮_全速关, UnitKind::button, 分组框3, {352, 72, 80, 40}, "关手拉启动"},
    {按钮_读当前位置, UnitKind::button, 分组框3, {224, 72, 112, 40}, "读当前位置D"},
    {标签3, UnitKind::label, 分组框1, {24, 120, 88, 24}, "目标地址"},
    {标签1, UnitKind::label, 分组框1, {24, 32, 88, 24}, "目地位置"},
    {编辑框_目标位置, UnitKind::edit_box, 分组框1, {112, 32, 96, 24}, "50"},
    {编辑框_目标地址, UnitKind::edit_box, 分组框1, {112, 120, 96, 24}, "010203"},
    {串口, UnitKind::serial_port, 分组框3, no_place, ""},
    {按钮_COM减, UnitKind::button, 分组框5, {8, 16, 48, 24}, "COM-"},
    {标签_COM, UnitKind::label, 分组框5, {72, 16, 64, 24}, "COM1"},
    {按钮_COM加, UnitKind::button, 分组框5, {152, 16, 48, 24}, "COM+"},
    {标签_端口选择, UnitKind::label, 分组框5, {8, 40, 192, 24}, "标签"},
    {std::nullopt, UnitKind::menu, window, no_place, "托盘右键"},
    {std::nullopt, UnitKind::menu_item, window, no_place, "退出程序"},
    {std::nullopt, UnitKind::menu_item, window, no_place, "显示窗口"},
    {std::nullopt, UnitKind::menu_item, window, no_place, "窗口最小化"},
    {std::nullopt, UnitKind::menu_item, window, no_place, "退出"},
    {分组框5, UnitKind::group_box, window, {8, 8, 208, 152}, ""},
    {按钮_停, UnitKind::button, 分组框3, {176, 16, 80, 40}, "停XVN"},
    {按钮_比例控制, UnitKind::button, 分组框3, {112, 72, 96, 40}, "比例控制S"},
    {按钮_关, UnitKind::button, 分组框3, {352, 16, 80, 40}, "关BM"},
    {按钮_开, UnitKind::button, 分组框3, {8, 16, 80, 40}, "开ZC"},
    {分组框3, UnitKind::group_box, window, {8, 160, 448, 248}, ""},
    {分组框1, UnitKind::group_box, window, {232, 8, 224, 152}, "地址为十六进制(HEX)"},
};

std::string label_of(const Unit& u) {
    return u.name ? std::string(control_name(*u.name)) : std::string(u.caption);
}

TEST(WindowDescription, ListsEveryPartInOrderWithItsPlaceAndCaption) {
    const auto units = window_description();
    ASSERT_EQ(units.size(), listed.size() + 1);
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const Unit& u = units[i + 1];
        const Listed& l = listed[i];
        SCOPED_TRACE(label_of(u));
        EXPECT_EQ(u.name, l.name);
        EXPECT_EQ(u.kind, l.kind);
        EXPECT_EQ(u.parent, l.parent);
        EXPECT_EQ(u.geometry, l.geometry);
        EXPECT_EQ(u.caption, l.caption);
        EXPECT_EQ(u.tab_key, 0);
        if (u.name) {
            EXPECT_EQ(&unit_of(*u.name), &u);
        }
    }
}

TEST(WindowDescription, TheWindowIsAFixedCentredFrameWithMenuBarAndNoMaximiseBox) {
    const Unit& w = window_unit();
    EXPECT_EQ(w.kind, UnitKind::window);
    EXPECT_FALSE(w.name.has_value());
    EXPECT_EQ(w.caption, "KV7514-9600");
    EXPECT_EQ(w.geometry, (Geometry{50, 50, 473, 470}));
    EXPECT_EQ(w.background, 0x000080FFu);
    EXPECT_TRUE(w.style.centred);
    EXPECT_TRUE(w.style.fixed_frame);
    EXPECT_TRUE(w.style.minimise_box);
    EXPECT_FALSE(w.style.maximise_box);
    EXPECT_TRUE(w.style.menu_bar);
    EXPECT_TRUE(w.style.esc_closes);
    EXPECT_FALSE(w.style.enter_moves_focus);
}

TEST(WindowDescription, KindPropertiesAreAsLaidOut) {
    for (const Unit& u : window_description()) {
        SCOPED_TRACE(label_of(u));
        switch (u.kind) {
            case UnitKind::button:
                EXPECT_TRUE(u.flags.visible && !u.flags.disabled && u.flags.tab_stop);
                EXPECT_EQ(u.background, DEFAULT_COLOUR);
                break;
            case UnitKind::label:
                EXPECT_TRUE(u.flags.visible && !u.flags.disabled && !u.flags.tab_stop);
                EXPECT_EQ(u.background, 0x000080FFu);
                EXPECT_EQ(u.text_colour, 0u);
                EXPECT_EQ(u.align, u.name == 标签6 ? Align::left : Align::centre);
                EXPECT_EQ(u.font_pixel_height, u.name == 标签_端口选择 ? 12 : 0);
                break;
            case UnitKind::group_box:
                EXPECT_TRUE(u.flags.visible && !u.flags.disabled && !u.flags.tab_stop);
                EXPECT_EQ(u.background, 0x000080FFu);
                EXPECT_EQ(u.text_colour, 0u);
                break;
            case UnitKind::edit_box:
                EXPECT_TRUE(u.flags.visible && !u.flags.disabled && u.flags.tab_stop);
                EXPECT_EQ(u.align, Align::centre);
                EXPECT_EQ(u.text_colour, 0u);
                break;
            case UnitKind::timer:
            case UnitKind::serial_port:
                EXPECT_FALSE(u.flags.visible);
                break;
            default:
                break;
        }
    }
    struct Edit {
        Control name;
        Colour background;
        int max_length;
        InputMode mode;
    };
    for (const Edit& e : {Edit{编辑框_通读地址, 0x00C0C0C0u, 0, InputMode::read_only},
                          Edit{编辑框_实际位置, 0x00FFFFFFu, 3, InputMode::byte},
                          Edit{编辑框_目标位置, 0x00FFFFFFu, 3, InputMode::byte},
                          Edit{编辑框_目标地址, 0x00FFFFFFu, 6, InputMode::normal}}) {
        const Unit& u = unit_of(e.name);
        EXPECT_EQ(u.background, e.background);
        EXPECT_EQ(u.max_length, e.max_length);
        EXPECT_EQ(u.input_mode, e.mode);
    }
    EXPECT_EQ(unit_of(时钟1).period_ms, 500);
    EXPECT_EQ(unit_of(时钟_闪烁定时).period_ms, 0);
}

TEST(WindowDescription, EventsHaveHandlersOnlyWhereLaidOut) {
    const EventSet click_keys = Event::click | Event::key_release;
    const EventSet port_button = Event::left_press | Event::key_release;
    for (Control c : {按钮_开, 按钮_停, 按钮_关, 按钮_比例控制, 按钮_读当前位置, 按钮_全速开,
                      按钮_全速关, 按钮_通读地址}) {
        EXPECT_EQ(unit_of(c).events, click_keys) << control_name(c);
    }
    for (Control c : {按钮1, 按钮_开预留, 按钮_关预留, 按钮_恢复出厂预留, 按钮_改变运行方向,
                      按钮_恢复出厂运行方向}) {
        EXPECT_EQ(unit_of(c).events, static_cast<EventSet>(Event::click)) << control_name(c);
    }
    EXPECT_EQ(unit_of(按钮_COM减).events, port_button);
    EXPECT_EQ(unit_of(按钮_COM加).events, port_button);
    EXPECT_EQ(unit_of(编辑框_目标位置).events, static_cast<EventSet>(Event::focus_loss));
    EXPECT_EQ(unit_of(编辑框_目标地址).events, static_cast<EventSet>(Event::char_input));
    EXPECT_EQ(unit_of(编辑框_实际位置).events, 0u);
    EXPECT_EQ(unit_of(编辑框_通读地址).events, 0u);
    EXPECT_EQ(unit_of(串口).events, static_cast<EventSet>(Event::byte_received));
    EXPECT_EQ(unit_of(时钟1).events, static_cast<EventSet>(Event::tick));
    EXPECT_EQ(unit_of(时钟_闪烁定时).events, static_cast<EventSet>(Event::tick));
}

TEST(WindowDescription, TabRunsFromTheLastUnitToTheFirst) {
    const std::vector<Control> expected = {
        按钮_开,     按钮_关,         按钮_比例控制,   按钮_停,           按钮_COM加,
        按钮_COM减,  编辑框_目标地址, 编辑框_目标位置, 按钮_读当前位置,   按钮_全速关,
        按钮_全速开, 编辑框_实际位置, 按钮_通读地址,   编辑框_通读地址,   按钮_恢复出厂预留,
        按钮_关预留, 按钮_开预留,     按钮1,           按钮_改变运行方向, 按钮_恢复出厂运行方向,
    };
    EXPECT_EQ(tab_cycle(), expected);
}

struct ScreenCase {
    int screen;
    int outer;
    int offset;
};

void PrintTo(const ScreenCase& c, std::ostream* os) {
    *os << "screen " << c.screen << ", window " << c.outer;
}

class CentredOffset : public testing::TestWithParam<ScreenCase> {};

TEST_P(CentredOffset, TruncatesTowardZero) {
    EXPECT_EQ(centred_offset(GetParam().screen, GetParam().outer), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Screens, CentredOffset,
                         testing::Values(ScreenCase{1024, 473, 275}, ScreenCase{768, 470, 149},
                                         ScreenCase{1920, 473, 723}, ScreenCase{1080, 470, 305},
                                         ScreenCase{473, 473, 0}, ScreenCase{400, 473, -36}));

}  // namespace
}  // namespace motor::panel
