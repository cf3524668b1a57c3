#pragma once
// The window's named parts once built: widgets and timers, looked up by their name.

#include <array>
#include <optional>

#include "control.h"

class QObject;
class QWidget;
class QLabel;
class QTimer;

namespace motor::panel {

class EditBox;

class WindowControls {
  public:
    void add(Control c, QObject* object) { objects_[index(c)] = object; }

    QObject* object(Control c) const { return objects_[index(c)]; }
    // Each returns nullptr when the named part is not of that kind.
    QWidget* widget(Control c) const;
    EditBox* edit_box(Control c) const;
    QLabel* label(Control c) const;
    QTimer* timer(Control c) const;
    // The name of one of the window's parts.
    std::optional<Control> name_of(const QObject* object) const;

  private:
    static std::size_t index(Control c) { return static_cast<std::size_t>(c); }
    std::array<QObject*, control_count> objects_{};  // owned by the window
};

}  // namespace motor::panel
