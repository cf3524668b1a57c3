#include "window_controls.h"

#include <QLabel>
#include <QTimer>

#include "edit_box.h"

namespace motor::panel {

QWidget* WindowControls::widget(Control c) const {
    return qobject_cast<QWidget*>(object(c));
}

EditBox* WindowControls::edit_box(Control c) const {
    return dynamic_cast<EditBox*>(object(c));
}

QLabel* WindowControls::label(Control c) const {
    return qobject_cast<QLabel*>(object(c));
}

QTimer* WindowControls::timer(Control c) const {
    return qobject_cast<QTimer*>(object(c));
}

std::optional<Control> WindowControls::name_of(const QObject* object) const {
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        if (object && objects_[i] == object) return static_cast<Control>(i);
    }
    return std::nullopt;
}

}  // namespace motor::panel
