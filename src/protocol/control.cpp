#include "control.h"

#include <array>

namespace motor {

std::string_view control_name(Control c) {
    static constexpr std::array<std::string_view, control_count> names = {
        "按钮_恢复出厂运行方向",
        "按钮_改变运行方向",
        "按钮1",
        "按钮_开预留",
        "按钮_关预留",
        "按钮_恢复出厂预留",
        "时钟_闪烁定时",
        "标签6",
        "编辑框_通读地址",
        "按钮_通读地址",
        "标签2",
        "编辑框_实际位置",
        "时钟1",
        "按钮_全速开",
        "按钮_全速关",
        "按钮_读当前位置",
        "标签3",
        "标签1",
        "编辑框_目标位置",
        "编辑框_目标地址",
        "串口",
        "按钮_COM减",
        "标签_COM",
        "按钮_COM加",
        "标签_端口选择",
        "分组框5",
        "按钮_停",
        "按钮_比例控制",
        "按钮_关",
        "按钮_开",
        "分组框3",
        "分组框1",
    };
    const auto i = static_cast<std::size_t>(c);
    return i < names.size() ? names[i] : std::string_view{};
}

}  // namespace motor
