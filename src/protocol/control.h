#pragma once
// The named parts of the panel's window. The enumerators carry the names the window
// description gives them, in the description's list order; the same names are the Qt
// object names, so the window, its description table and the protocol all agree.

#include <string_view>

namespace motor {

enum class Control {
    按钮_恢复出厂运行方向,
    按钮_改变运行方向,
    按钮1,
    按钮_开预留,
    按钮_关预留,
    按钮_恢复出厂预留,
    时钟_闪烁定时,
    标签6,
    编辑框_通读地址,
    按钮_通读地址,
    标签2,
    编辑框_实际位置,
    时钟1,
    按钮_全速开,
    按钮_全速关,
    按钮_读当前位置,
    标签3,
    标签1,
    编辑框_目标位置,
    编辑框_目标地址,
    串口,
    按钮_COM减,
    标签_COM,
    按钮_COM加,
    标签_端口选择,
    分组框5,
    按钮_停,
    按钮_比例控制,
    按钮_关,
    按钮_开,
    分组框3,
    分组框1,
};

inline constexpr int control_count = static_cast<int>(Control::分组框1) + 1;

// The UTF-8 name of a control, e.g. "按钮_通读地址".
std::string_view control_name(Control c);

}  // namespace motor
