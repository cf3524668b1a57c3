#pragma once
// The window as the widget tests drive it: built from its description with the commands
// recorded by a byte port instead of going to a line, after the creation handler's reset of
// the reply assembly.

#include <QApplication>
#include <QString>
#include <QTest>

#include <memory>
#include <vector>

#include "edit_box.h"
#include "frame.h"
#include "main_window.h"
#include "panel_state.h"
#include "recording_port.h"

namespace motor::panel {

inline QString name_of(Control c) {
    return QString::fromUtf8(control_name(c));
}

class PanelUnderTest {
  public:
    PanelUnderTest() : state_(init_globals()), window(*state_, &port) { state_->reply_index = 1; }

    PanelState& state() { return *state_; }
    QWidget* widget(Control c) const { return window.controls().widget(c); }
    EditBox* edit(Control c) const { return window.controls().edit_box(c); }

    // The frames sent so far, six bytes each.
    std::vector<Frame> frames() const {
        std::vector<Frame> out;
        for (std::size_t i = 0; i + frame_size <= port.sent.size(); i += frame_size) {
            Frame f{};
            std::copy_n(port.sent.begin() + static_cast<std::ptrdiff_t>(i), frame_size, f.begin());
            out.push_back(f);
        }
        return out;
    }

    // Shows the window and waits until it is the active window, as the operator sees it.
    [[nodiscard]] bool show_active() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    // Gives the focus to c in the active window and checks that it took it.
    [[nodiscard]] bool focus(Control c) {
        widget(c)->setFocus(Qt::OtherFocusReason);
        return QApplication::focusWidget() == widget(c);
    }

  private:
    std::unique_ptr<PanelState> state_;

  public:
    test::RecordingPort port;
    MainWindow window;
};

}  // namespace motor::panel
