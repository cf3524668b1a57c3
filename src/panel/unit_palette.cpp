#include "unit_palette.h"

#include <QApplication>

namespace motor::panel {

QColor to_qcolor(Colour colour) {
    if (colour == DEFAULT_COLOUR) return QApplication::palette().color(QPalette::Button);
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QPalette system_palette() {
    QPalette palette = QApplication::palette();
    palette.setResolveMask(~QPalette::ResolveMask{0});
    return palette;
}

QPalette unit_palette(const Unit& unit) {
    QPalette palette = system_palette();
    switch (unit.kind) {
        case UnitKind::window:
        case UnitKind::label:
        case UnitKind::group_box:
            palette.setColor(QPalette::Window, to_qcolor(unit.background));
            if (unit.text_colour != DEFAULT_COLOUR) {
                palette.setColor(QPalette::WindowText, to_qcolor(unit.text_colour));
            }
            break;
        case UnitKind::edit_box:
            palette.setColor(QPalette::Base, to_qcolor(unit.background));
            if (unit.text_colour != DEFAULT_COLOUR) {
                palette.setColor(QPalette::Text, to_qcolor(unit.text_colour));
            }
            break;
        default:
            break;
    }
    return palette;
}

}  // namespace motor::panel
