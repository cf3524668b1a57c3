#pragma once
// The panel's one window, built from its description. It owns the controls, both timers, the
// port object 串口 (created closed) and the command and reply logic that works on them, and
// routes the events that have handlers: clicks, key releases on the buttons with the key map,
// characters typed into the edit boxes, focus loss, timer ticks and received bytes.

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "byte_port.h"
#include "motor_link.h"
#include "panel_state.h"
#include "qt_window_ops.h"
#include "serial_port.h"
#include "window_controls.h"
#include "window_description.h"

class QKeyEvent;
class QMenu;

namespace motor::panel {

class EditBox;

// The window's own events that the program handles. Each may be left empty.
struct WindowHandlers {
    std::function<void()> close_request;      // close box, Esc, Alt+F4, the system's close command
    std::function<void(Control)> left_press;  // the left mouse button goes down on COM- or COM+
    std::function<void()> size_change;        // minimised, restored, resized
    std::function<void()> first_activation;
    std::function<void()> destroying;  // the window is being destroyed, its controls still there
    std::function<void(std::string_view caption)> menu_chosen;  // an item of "托盘右键", UTF-8
};

class MainWindow final : public QMainWindow {
  public:
    // Builds the window, hidden, with all its parts. Commands go out through command_port when one
    // is given (tests record frames there), else through 串口.
    explicit MainWindow(PanelState& state, BytePort* command_port = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void set_handlers(WindowHandlers handlers) { handlers_ = std::move(handlers); }

    // The last steps of building: runs the creation handler and the size-change handler, then
    // shows and activates the window.
    void start(const std::function<void()>& on_created);

    const WindowControls& controls() const { return controls_; }
    QtWindowOps& ops() { return ops_; }
    MotorLink& link() { return *link_; }
    SerialPort& serial_port() { return *port_; }
    // The menu "托盘右键"; the tray shows the same one.
    QMenu& tray_menu() { return *menu_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void create_window(const Unit& window);
    void create_units();
    void place_in_group_boxes();
    void arrange_stacking();
    void show_visible_controls();
    void arrange_tab_order();
    void bind_handlers();

    void on_tick(Control timer);
    bool refuses_typed_key(const Unit& unit, const QKeyEvent& key) const;
    void on_key_released(const QKeyEvent& key);
    void on_focus_lost(const Unit& unit, EditBox& box);
    void fit_outer_size();
    void restore_focus();

    PanelState& state_;
    BytePort* command_port_;
    WindowControls controls_;
    QtWindowOps ops_;
    QWidget* client_ = nullptr;
    QMenu* menu_ = nullptr;
    std::unique_ptr<SerialPort> port_;
    std::optional<MotorLink> link_;
    WindowHandlers handlers_;
    bool outer_size_fitted_ = false;
    bool activated_once_ = false;
    QPointer<QWidget> remembered_focus_;
};

}  // namespace motor::panel
