#include "panel_state.h"

namespace motor {

std::unique_ptr<PanelState> init_globals() {
    return std::make_unique<PanelState>();
}

}  // namespace motor
