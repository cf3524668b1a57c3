#include "program.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "command_line.h"
#include "gbk_text.h"
#include "saved_port_file.h"
#include "trace_file.h"
#include "tray_icon_image.h"

namespace motor::panel {
namespace {

constexpr std::string_view tray_tip = "电机增量控制程序";

// The menu items' commands, by caption.
constexpr std::string_view menu_exit_program = "退出程序";
constexpr std::string_view menu_show_window = "显示窗口";
constexpr std::string_view menu_minimise_window = "窗口最小化";
constexpr std::string_view menu_exit = "退出";

}  // namespace

Program::Program(PanelState& state, std::filesystem::path saved_port_file)
    : state_(state),
      saved_port_file_(std::move(saved_port_file)),
      tray_([this](TrayEvent kind) { on_tray_event(kind); }) {}

Program::~Program() {
    if (window_) delete window_.data();
}

void Program::start() {
    auto* window = new MainWindow(state_);
    window_ = window;
    window->link().set_observer(link_observer_);
    port_switch_ = std::make_unique<PortSwitchFor<SerialPort>>(window->serial_port());
    selection_.emplace(window->ops(), *port_switch_, saved_port_file_);
    // A port that goes away while open says so where the outcome of starting it is shown.
    window->serial_port().device_lost = [this] { selection_->show_port_lost(); };

    WindowHandlers handlers;
    handlers.close_request = [this] { exit_program(); };
    handlers.left_press = [this](Control button) {
        if (button == Control::按钮_COM加) selection_->select_next_port();
        if (button == Control::按钮_COM减) selection_->select_previous_port();
    };
    handlers.size_change = [this] { on_size_change(); };
    handlers.first_activation = [this] { on_first_activation(); };
    handlers.destroying = [this] { on_window_destroying(); };
    handlers.menu_chosen = [this](std::string_view caption) { on_menu_chosen(caption); };
    window->set_handlers(std::move(handlers));
    connect(window, &QObject::destroyed, this, [this] {
        window_destroyed_ = true;
        QCoreApplication::quit();  // no window is left: the event loop ends
    });
    window->start([this] { on_main_window_created(); });
}

void Program::on_main_window_created() {
    state_.reply_index = 1;
    selection_->load_saved_port();
    window_->ops().set_focus(Control::按钮_通读地址);
    tray_.set_tray_icon(tray_icon_image, utf8_to_gbk(tray_tip));
}

void Program::on_window_destroying() {
    if (selection_) selection_->save_port();
}

void Program::on_tray_event(TrayEvent kind) {
    if (!window_) return;
    QtWindowOps& ops = window_->ops();
    switch (kind) {
        case TRAY_RIGHT_RELEASE:
            tray_.show_tray_menu(window_->tray_menu(), *window_);
            break;
        case TRAY_LEFT_RELEASE:
            if (ops.window_state() != NORMAL) {
                ops.set_visible(true);
                ops.set_window_state(NORMAL);
            } else {
                ops.set_window_state(MINIMISED);  // the size-change handler then hides it
            }
            break;
        case TRAY_LEFT_DOUBLE_CLICK:
            break;
    }
}

void Program::on_size_change() {
    if (window_ && window_->ops().window_state() == MINIMISED) hide_to_tray();
}

void Program::on_first_activation() {
    if (window_) window_->ops().set_window_state(NORMAL);
}

void Program::on_menu_chosen(std::string_view caption) {
    if (caption == menu_show_window) show_window();
    if (caption == menu_minimise_window) minimise_window();
    if (caption == menu_exit_program || caption == menu_exit) exit_program();
}

void Program::show_window() {
    if (!window_) return;
    window_->ops().set_visible(true);
    window_->ops().set_window_state(NORMAL);
}

void Program::minimise_window() {
    if (!window_) return;
    window_->ops().set_window_state(MINIMISED);
    hide_to_tray();
}

// Without a notification area to bring it back from (no tray host, a bare Wayland session),
// a minimised window stays an ordinary minimised window instead of vanishing.
void Program::hide_to_tray() {
    if (window_ && tray_.shown_in_a_tray()) window_->ops().set_visible(false);
}

void Program::exit_program() {
    tray_.remove_tray_icon();
    if (window_) window_->ops().process_pending_events();
    destroy_window();
}

// The window goes as soon as the handler that asked for it has returned: a handler of the
// window (a reply being shown, a key) may still be running below this call, and must not find
// its window gone. It disappears from the screen at once.
void Program::destroy_window() {
    if (!window_ || window_destroyed_) return;
    window_->hide();
    window_->deleteLater();
}

namespace {

std::unique_ptr<PanelState> globals;

void release_globals() {
    globals.reset();
}

// The window system cannot be reached (no display, for one): say so and end with -1.
void fatal_start_handler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        std::cerr << message.toStdString() << '\n';
        return;
    }
    std::cerr << "motor-panel: cannot open the window: " << message.toStdString() << '\n';
    std::_Exit(-1);
}

}  // namespace

int run_program(int argc, char** argv) {
    const CommandLine line = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (line.help) {
        std::cout << help_text();
        return 0;
    }
    if (line.version) {
        std::cout << version_text();
        return 0;
    }
    if (!line.unknown.empty()) {
        std::cerr << "motor-panel: unknown option " << line.unknown.front()
                  << "\nTry 'motor-panel --help'.\n";
        return 2;
    }
    // Opened before the working directory changes, so a relative FILE is where the user meant.
    std::unique_ptr<TraceFile> trace;
    if (line.trace) {
        std::string error;
        trace = TraceFile::open(*line.trace, error);
        if (!trace) {
            std::cerr << "motor-panel: " << error << '\n';
            return 2;
        }
    }

    const QtMessageHandler previous = qInstallMessageHandler(fatal_start_handler);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setQuitOnLastWindowClosed(false);  // the tray keeps a hidden window alive

    // The saved port file is named relative to the program's own directory.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    globals = init_globals();
    std::atexit(release_globals);

    const std::filesystem::path program_dir = QDir::currentPath().toStdString();
    Program program(*globals, saved_port_file_path(program_dir));
    if (trace) program.set_link_observer(&trace->writer());
    program.start();
    return QApplication::exec();
}

}  // namespace motor::panel
