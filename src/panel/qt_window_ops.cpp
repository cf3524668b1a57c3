#include "qt_window_ops.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

#include <algorithm>

#include "edit_box.h"
#include "gbk_qstring.h"
#include "unit_palette.h"
#include "window_placement.h"

namespace motor::panel {

std::string QtWindowOps::text(Control c) const {
    if (const EditBox* box = controls_.edit_box(c)) return qstring_to_gbk(box->text());
    if (const QLabel* label = controls_.label(c)) return qstring_to_gbk(label->text());
    return {};
}

void QtWindowOps::set_text(Control c, std::string_view gbk) {
    if (EditBox* box = controls_.edit_box(c)) box->write_text(qstring_from_gbk(gbk));
    if (QLabel* label = controls_.label(c)) label->setText(qstring_from_gbk(gbk));
}

void QtWindowOps::set_background(Control c, Colour colour) {
    EditBox* box = controls_.edit_box(c);
    if (!box) return;
    // The base keeps the sunken frame as the style draws it; a style sheet would replace it.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, to_qcolor(colour));
    box->setPalette(palette);
    box->update();
}

std::int32_t QtWindowOps::timer_period(Control c) const {
    const QTimer* timer = controls_.timer(c);
    return timer && timer->isActive() ? timer->interval() : 0;
}

void QtWindowOps::set_timer_period(Control c, std::int32_t ms) {
    QTimer* timer = controls_.timer(c);
    if (!timer) return;
    const std::int32_t period = std::max(ms, 0);
    if (period == timer_period(c)) return;  // a running timer keeps its next tick
    timer->stop();
    if (period > 0) timer->start(period);
}

void QtWindowOps::set_focus(Control c) {
    if (QWidget* widget = controls_.widget(c)) widget->setFocus(Qt::OtherFocusReason);
}

void QtWindowOps::process_pending_events() {
    QCoreApplication::processEvents();
}

bool QtWindowOps::visible() const {
    return window_.isVisible();
}

void QtWindowOps::set_visible(bool visible) {
    if (!visible) {
        window_.hide();
        return;
    }
    window_.show();  // a window hidden while minimised comes back minimised
    if (!window_.isMinimized()) window_.activateWindow();
}

std::int32_t QtWindowOps::window_state() const {
    if (window_.isMinimized()) return MINIMISED;  // also while hidden
    if (window_.isMaximized()) return MAXIMISED;
    return NORMAL;
}

void QtWindowOps::set_window_state(std::int32_t state) {
    state = std::clamp<std::int32_t>(state, NORMAL, MAXIMISED);
    if (!window_.isVisible()) return;
    switch (state) {
        case NORMAL:
            window_.showNormal();
            window_.raise();
            window_.activateWindow();
            break;
        case CENTRED:
            if (window_.isMinimized() || window_.isMaximized()) window_.showNormal();
            window_.move(centred_on_primary_screen(window_.frameGeometry().size()));
            break;
        case MINIMISED:
            window_.showMinimized();
            break;
        default:
            window_.showMaximized();
            break;
    }
}

}  // namespace motor::panel
