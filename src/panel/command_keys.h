#pragma once
// The command of each command button, and the key map that ten buttons share: releasing a
// letter sends the command of its group as a click on that group's button would, and moves
// the focus there.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "control.h"
#include "frame.h"
#include "motor_link.h"
#include "window_ops.h"

namespace motor::panel {

struct ButtonCommand {
    Control button;
    CommandCode code;
};

// The fourteen command buttons; a click runs request_command with the button's code.
extern const std::array<ButtonCommand, 14> button_commands;
std::optional<CommandCode> command_of_button(Control button);

struct LetterGroup {
    std::array<std::string_view, 6> texts;  // compared in this order; empty entries unused
    CommandCode code;
    Control button;  // takes the focus after the command
};

// The letter table, groups in the order compared.
extern const std::array<LetterGroup, 8> letter_table;

// Key-release handler of the ten buttons with the key map. key_code is the reported
// virtual-key code; modifiers (1 Ctrl, 2 Shift, 4 Alt) do not change what a key sends.
void on_command_key_released(MotorLink& link, WindowOps& window, std::int32_t key_code,
                             std::int32_t modifiers);

}  // namespace motor::panel
