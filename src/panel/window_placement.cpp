#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>

#include "window_description.h"

namespace motor::panel {

QSize outer_window_size() {
    const Geometry& g = window_unit().geometry;
    return {g.width, g.height};
}

QPoint centred_on_primary_screen(QSize outer) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {screen.x() + centred_offset(screen.width(), outer.width()),
            screen.y() + centred_offset(screen.height(), outer.height())};
}

}  // namespace motor::panel
