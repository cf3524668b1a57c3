#pragma once
// The running program: builds the window, runs its creation and destruction handlers, the tray
// and the window's visibility, and the one way out, exit_program.

#include <QObject>
#include <QPointer>

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "main_window.h"
#include "panel_state.h"
#include "port_selection.h"
#include "tray.h"

namespace motor::panel {

class Program final : public QObject {
  public:
    Program(PanelState& state, std::filesystem::path saved_port_file);
    ~Program() override;

    // Watches the link's traffic from the window's creation on (--trace); before start().
    void set_link_observer(LinkObserver* observer) { link_observer_ = observer; }
    // Builds the window from its description, runs the creation handler, shows it.
    void start();

    void on_main_window_created();
    void on_window_destroying();
    void on_tray_event(TrayEvent kind);
    void on_size_change();
    void on_first_activation();
    void on_menu_chosen(std::string_view caption);
    // Removes the tray icon, handles what waits in the queue, and destroys the window. Safe when
    // it runs again inside itself: the window and icon that are gone are not touched again.
    void exit_program();

    MainWindow* window() const { return window_; }
    PortSelection* port_selection() { return selection_ ? &*selection_ : nullptr; }
    Tray& tray() { return tray_; }

  private:
    void show_window();
    void minimise_window();
    void hide_to_tray();
    void destroy_window();

    PanelState& state_;
    std::filesystem::path saved_port_file_;
    Tray tray_;
    QPointer<MainWindow> window_;
    std::unique_ptr<PortSwitch> port_switch_;
    std::optional<PortSelection> selection_;
    bool window_destroyed_ = false;
    LinkObserver* link_observer_ = nullptr;
};

// The whole program: start-up, the event loop, the end. Returns the process's exit code.
int run_program(int argc, char** argv);

}  // namespace motor::panel
