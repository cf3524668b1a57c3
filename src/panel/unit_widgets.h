#pragma once
// One unit of the description made into its Qt object: a widget configured as the unit says
// and created hidden, or a timer. Units without a Qt object (the serial port, the menu
// entries) give nullptr.

#include "window_description.h"

class QObject;
class QWidget;

namespace motor::panel {

QObject* create_unit_object(const Unit& unit, QWidget& client);

}  // namespace motor::panel
