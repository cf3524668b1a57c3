#include "frame.h"

namespace motor {

std::string_view command_name(std::uint8_t code) {
    switch (static_cast<CommandCode>(code)) {
        case CommandCode::READ_POSITION:
            return "READ_POSITION";
        case CommandCode::OPEN:
            return "OPEN";
        case CommandCode::STOP:
            return "STOP";
        case CommandCode::CLOSE:
            return "CLOSE";
        case CommandCode::PROPORTIONAL_CONTROL:
            return "PROPORTIONAL_CONTROL";
        case CommandCode::PULL_START_ON:
            return "PULL_START_ON";
        case CommandCode::PULL_START_OFF:
            return "PULL_START_OFF";
        case CommandCode::BROADCAST_READ_ADDRESS:
            return "BROADCAST_READ_ADDRESS";
        case CommandCode::PAIRING:
            return "PAIRING";
        case CommandCode::RESTORE_FACTORY_DIRECTION:
            return "RESTORE_FACTORY_DIRECTION";
        case CommandCode::RESERVED_ON:
            return "RESERVED_ON";
        case CommandCode::RESERVED_OFF:
            return "RESERVED_OFF";
        case CommandCode::RESTORE_FACTORY_RESERVED:
            return "RESTORE_FACTORY_RESERVED";
        case CommandCode::CHANGE_DIRECTION:
            return "CHANGE_DIRECTION";
    }
    return {};
}

std::optional<CommandCode> command_from_byte(std::uint8_t code) {
    if (command_name(code).empty()) return std::nullopt;
    return static_cast<CommandCode>(code);
}

}  // namespace motor
