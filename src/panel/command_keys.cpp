#include "command_keys.h"

#include <algorithm>

namespace motor::panel {

using enum Control;

const std::array<ButtonCommand, 14> button_commands = {{
    {按钮_开, CommandCode::OPEN},
    {按钮_停, CommandCode::STOP},
    {按钮_关, CommandCode::CLOSE},
    {按钮_比例控制, CommandCode::PROPORTIONAL_CONTROL},
    {按钮_读当前位置, CommandCode::READ_POSITION},
    {按钮_全速开, CommandCode::PULL_START_ON},
    {按钮_全速关, CommandCode::PULL_START_OFF},
    {按钮_通读地址, CommandCode::BROADCAST_READ_ADDRESS},
    {按钮1, CommandCode::PAIRING},
    {按钮_开预留, CommandCode::RESERVED_ON},
    {按钮_关预留, CommandCode::RESERVED_OFF},
    {按钮_恢复出厂预留, CommandCode::RESTORE_FACTORY_RESERVED},
    {按钮_改变运行方向, CommandCode::CHANGE_DIRECTION},
    {按钮_恢复出厂运行方向, CommandCode::RESTORE_FACTORY_DIRECTION},
}};

std::optional<CommandCode> command_of_button(Control button) {
    const auto it = std::find_if(button_commands.begin(), button_commands.end(),
                                 [button](const ButtonCommand& b) { return b.button == button; });
    if (it == button_commands.end()) return std::nullopt;
    return it->code;
}

// A key code is compared as a one-byte text, so the lower-case entries match function keys
// (s = F4, v = F7, x = F9, z = F11) or nothing: after the keypad substitutions no key
// reports 97-100, 102, 103, 109 or 110.
const std::array<LetterGroup, 8> letter_table = {{
    {{"z", "Z", "c", "C"}, CommandCode::OPEN, 按钮_开},
    {{"v", "V", "x", "X", "n", "N"}, CommandCode::STOP, 按钮_停},
    {{"m", "M", "b", "B"}, CommandCode::CLOSE, 按钮_关},
    {{"a", "A"}, CommandCode::BROADCAST_READ_ADDRESS, 按钮_通读地址},
    {{"s", "S"}, CommandCode::PROPORTIONAL_CONTROL, 按钮_比例控制},
    {{"d", "D"}, CommandCode::READ_POSITION, 按钮_读当前位置},
    {{"f", "F"}, CommandCode::PULL_START_ON, 按钮_全速开},
    {{"g", "G"}, CommandCode::PULL_START_OFF, 按钮_全速关},
}};

void on_command_key_released(MotorLink& link, WindowOps& window, std::int32_t key_code,
                             std::int32_t /*modifiers*/) {
    const char byte = static_cast<char>(key_code & 0xFF);
    if (byte == 0) return;  // the empty text matches nothing
    const std::string_view text(&byte, 1);
    // No two groups share a text, so the first match is the only one.
    for (const LetterGroup& group : letter_table) {
        if (std::find(group.texts.begin(), group.texts.end(), text) != group.texts.end()) {
            link.request_command(group.code);  // the frame is out before the focus moves
            window.set_focus(group.button);
            return;
        }
    }
}

}  // namespace motor::panel
