#pragma once
// Where the window goes: its outer size from the description, centred on the whole primary
// display (not just its free area).

#include <QPoint>
#include <QSize>

namespace motor::panel {

QSize outer_window_size();
QPoint centred_on_primary_screen(QSize outer);

}  // namespace motor::panel
