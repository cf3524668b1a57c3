#include "main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

#include <algorithm>

#include "command_keys.h"
#include "control_font.h"
#include "edit_box.h"
#include "gbk_qstring.h"
#include "input_rules.h"
#include "key_codes.h"
#include "unit_palette.h"
#include "unit_widgets.h"
#include "window_placement.h"

namespace motor::panel {
namespace {

Qt::WindowFlags window_flags(const WindowStyle& style) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style.minimise_box) flags |= Qt::WindowMinimizeButtonHint;
    if (style.maximise_box) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

// A unit whose widget needs the window to see its key, character or focus events.
bool has_filtered_events(const Unit& unit) {
    return has_event(unit.events, Event::key_release) ||
           has_event(unit.events, Event::left_press) || has_event(unit.events, Event::char_input) ||
           has_event(unit.events, Event::focus_loss) || unit.input_mode == InputMode::byte;
}

// Byte input mode on focus loss: the clamped number replaces the text when it differs, with
// the caret where the selection began.
void normalise_byte_box(EditBox& box) {
    const std::string text = qstring_to_gbk(box.text());
    const std::string normal = normalise_byte_text(text);
    if (normal == text) return;
    const int caret = box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
    box.write_text(QString::fromLatin1(normal));
    box.setCursorPosition(std::min(caret, static_cast<int>(box.text().size())));
}

}  // namespace

MainWindow::MainWindow(PanelState& state, BytePort* command_port)
    : state_(state), command_port_(command_port), ops_(*this, controls_) {
    const Unit& window = window_unit();
    create_window(window);
    create_units();
    place_in_group_boxes();
    arrange_stacking();
    show_visible_controls();
    arrange_tab_order();
    link_.emplace(state_, ops_, command_port_ ? *command_port_ : *port_);
    bind_handlers();
}

MainWindow::~MainWindow() {
    if (handlers_.destroying) handlers_.destroying();
    // The port's reception posts to this window; it stops before anything it reaches goes.
    port_.reset();
    // The controls outlive this object's members; no handler may run on them any more.
    for (const Unit& unit : window_description()) {
        if (!unit.name) continue;
        if (QObject* object = controls_.object(*unit.name)) {
            object->removeEventFilter(this);
            disconnect(object, nullptr, this, nullptr);
        }
    }
}

// The window itself, hidden, centred, with its frame, title and menu bar.
void MainWindow::create_window(const Unit& window) {
    setWindowFlags(window_flags(window.style));
    setWindowTitle(QString::fromUtf8(window.caption));
    setPalette(unit_palette(window));
    setFont(control_font());  // the controls take it from here
    // Without a window manager there is no frame and the whole size is the window; with one,
    // the client part shrinks by the frame once its size is known (see fit_outer_size).
    const QSize outer = outer_window_size();
    setFixedSize(outer);
    move(centred_on_primary_screen(outer));

    client_ = new QWidget(this);
    setCentralWidget(client_);

    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);  // part of the window, counted in its outer size
    bar->setPalette(system_palette());
    for (const Unit& unit : window_description()) {
        if (unit.kind == UnitKind::menu) menu_ = bar->addMenu(QString::fromUtf8(unit.caption));
        if (unit.kind != UnitKind::menu_item) continue;
        QAction* item = menu_->addAction(QString::fromUtf8(unit.caption));
        connect(item, &QAction::triggered, this, [this, caption = unit.caption] {
            if (handlers_.menu_chosen) handlers_.menu_chosen(caption);
        });
    }
}

// Controls, timers and the port object in list order, all in the client area.
void MainWindow::create_units() {
    for (const Unit& unit : window_description()) {
        if (!unit.name) continue;
        if (unit.kind == UnitKind::serial_port) {
            port_ = std::make_unique<SerialPort>([this](std::function<void()> handover) {
                QMetaObject::invokeMethod(this, std::move(handover), Qt::QueuedConnection);
            });
            continue;
        }
        controls_.add(*unit.name, create_unit_object(unit, *client_));
    }
}

// Every unit with a group box as parent moves into it, keeping its position numbers.
void MainWindow::place_in_group_boxes() {
    for (const Unit& unit : window_description()) {
        if (!unit.name || !unit.parent) continue;
        QObject* object = controls_.object(*unit.name);
        QWidget* box = controls_.widget(*unit.parent);
        if (!object || !box) continue;
        if (auto* widget = qobject_cast<QWidget*>(object)) {
            widget->setParent(box);  // keeps the geometry, relative to the new parent
        } else {
            object->setParent(box);
        }
    }
}

// Among the children of one parent, an earlier unit lies above a later one.
// Lowering each in list order leaves the first of each parent on top.
void MainWindow::arrange_stacking() {
    for (const Unit& unit : window_description()) {
        if (!unit.name) continue;
        if (QWidget* widget = controls_.widget(*unit.name)) widget->lower();
    }
}

// Each control shows or stays hidden as its visible flag says.
void MainWindow::show_visible_controls() {
    for (const Unit& unit : window_description()) {
        if (!unit.name) continue;
        if (QWidget* widget = controls_.widget(*unit.name)) widget->setVisible(unit.flags.visible);
    }
}

// Tab runs from the last unit of the list to the first and wraps around.
void MainWindow::arrange_tab_order() {
    const std::vector<Control> cycle = tab_cycle();
    for (std::size_t i = 0; i + 1 < cycle.size(); ++i) {
        QWidget::setTabOrder(controls_.widget(cycle[i]), controls_.widget(cycle[i + 1]));
    }
}

void MainWindow::bind_handlers() {
    for (const Unit& unit : window_description()) {
        if (!unit.name) continue;
        const Control name = *unit.name;
        if (has_event(unit.events, Event::click)) {
            const std::optional<CommandCode> code = command_of_button(name);
            auto* button = qobject_cast<QAbstractButton*>(controls_.widget(name));
            if (code && button) {
                connect(button, &QAbstractButton::clicked, this,
                        [this, code = *code] { link_->request_command(code); });
            }
        }
        if (has_event(unit.events, Event::tick)) {
            connect(controls_.timer(name), &QTimer::timeout, this, [this, name] { on_tick(name); });
        }
        if (has_event(unit.events, Event::byte_received)) {
            port_->byte_received = [this](std::int32_t b) { link_->on_reply_byte(b); };
        }
        if (has_filtered_events(unit)) controls_.widget(name)->installEventFilter(this);
    }
}

void MainWindow::start(const std::function<void()>& on_created) {
    if (on_created) on_created();
    if (handlers_.size_change) handlers_.size_change();  // once while hidden: not minimised
    show();
    raise();
    activateWindow();
}

void MainWindow::on_tick(Control timer) {
    if (timer == Control::时钟1) link_->on_watchdog_tick();
    if (timer == Control::时钟_闪烁定时) link_->on_highlight_tick();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const std::optional<Control> name = controls_.name_of(watched);
    if (!name) return QMainWindow::eventFilter(watched, event);
    const Unit& unit = unit_of(*name);
    switch (event->type()) {
        case QEvent::KeyPress:
            return refuses_typed_key(unit, *static_cast<QKeyEvent*>(event));
        case QEvent::KeyRelease:
            if (has_event(unit.events, Event::key_release)) {
                on_key_released(*static_cast<QKeyEvent*>(event));
            }
            return false;  // the release goes on to the button as usual
        case QEvent::MouseButtonPress:
            // COM- and COM+ act as the button goes down; the button's own press goes on.
            if (has_event(unit.events, Event::left_press) && handlers_.left_press &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                handlers_.left_press(*name);
            }
            return false;
        case QEvent::FocusOut:
            if (EditBox* box = controls_.edit_box(*name)) on_focus_lost(unit, *box);
            return false;
        default:
            return false;
    }
}

// A typed character that the box's input rule discards never reaches the box. Keys that type
// nothing (arrows, ...) are not characters; Tab and Esc move the focus or close the window
// before they could be typed.
bool MainWindow::refuses_typed_key(const Unit& unit, const QKeyEvent& key) const {
    if (unit.kind != UnitKind::edit_box || key.text().isEmpty()) return false;
    const int k = key.key();
    if (k == Qt::Key_Tab || k == Qt::Key_Backtab || k == Qt::Key_Escape) return false;
    const std::int32_t code = typed_char_code(key.text().front());
    if (has_event(unit.events, Event::char_input)) return filter_address_char(code) == 0;
    if (unit.input_mode == InputMode::byte) return !byte_mode_takes_char(code);
    return false;
}

void MainWindow::on_key_released(const QKeyEvent& key) {
    // A held key reports one release, when it comes up; a window that is not shown (closed
    // by Alt+F4 on the press) takes no keys.
    if (key.isAutoRepeat() || !isVisible()) return;
    on_command_key_released(*link_, ops_, windows_key_code(key.key(), key.modifiers()),
                            key_modifier_state(key.key(), key.modifiers()));
}

// The byte input mode normalises the text before the box's own focus-loss handler runs.
void MainWindow::on_focus_lost(const Unit& unit, EditBox& box) {
    if (unit.input_mode == InputMode::byte) normalise_byte_box(box);
    if (unit.name == Control::编辑框_目标位置) on_position_lost_focus(ops_);
}

// Key presses that no control took: Esc alone and Alt+F4 are close requests. Enter does
// nothing: no button is a default button.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers held =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const bool escape = event->key() == Qt::Key_Escape && held == Qt::NoModifier;
    const bool alt_f4 = event->key() == Qt::Key_F4 && held.testFlag(Qt::AltModifier);
    if (window_unit().style.esc_closes && escape) {
        close();
        return;
    }
    if (alt_f4) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    fit_outer_size();
}

// The frame's size is known once the window system reports it, with the first move.
void MainWindow::fit_outer_size() {
    if (outer_size_fitted_ || !windowHandle()) return;
    const QMargins frame = windowHandle()->frameMargins();
    if (frame.isNull()) return;
    outer_size_fitted_ = true;
    setFixedSize(outer_window_size().shrunkBy(frame));
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if (handlers_.size_change) handlers_.size_change();
        return;
    }
    if (event->type() != QEvent::ActivationChange) return;
    if (isActiveWindow()) {
        restore_focus();
        if (!activated_once_) {
            activated_once_ = true;
            if (handlers_.first_activation) handlers_.first_activation();
        }
    } else {
        remembered_focus_ = focusWidget();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (handlers_.size_change) handlers_.size_change();
}

// Every close request ends the program; the handler destroys the window, so the close goes ahead.
void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (handlers_.close_request) handlers_.close_request();
}

// The window passes the focus on at once: to the control that had it when the window was
// deactivated, else to the one focused before (by the creation handler), else to the first
// control in Tab order.
void MainWindow::restore_focus() {
    QWidget* target = remembered_focus_ && isAncestorOf(remembered_focus_)
                          ? remembered_focus_.data()
                          : focusWidget();
    remembered_focus_.clear();
    if (!target) target = controls_.widget(tab_cycle().front());
    target->setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace motor::panel
