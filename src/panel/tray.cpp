#include "tray.h"

#include <QAction>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMetaObject>
#include <QPixmap>
#include <QWidget>

#include "gbk_qstring.h"

namespace motor::panel {
namespace {

constexpr std::size_t tip_limit = 62;

}  // namespace

std::vector<TrayEvent> tray_events_for(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return {TRAY_LEFT_RELEASE};
        case QSystemTrayIcon::DoubleClick:
            return {TRAY_LEFT_DOUBLE_CLICK, TRAY_LEFT_RELEASE};
        case QSystemTrayIcon::Context:
            return {TRAY_RIGHT_RELEASE};
        default:
            return {};  // the middle button and the rest have no event
    }
}

QPoint tray_menu_top_left(QPoint pointer, QSize menu_size) {
    return {pointer.x() - 5 - menu_size.width(), pointer.y() - 5};
}

std::string_view tray_tip_bytes(std::string_view tip) {
    if (tip.size() <= tip_limit) return tip;
    std::size_t end = 0;
    while (end < tip.size()) {
        const std::size_t len = static_cast<unsigned char>(tip[end]) >= 0x80 ? 2 : 1;
        if (end + len > tip_limit) break;
        end += len;
    }
    return tip.substr(0, end);
}

Tray::Tray(std::function<void(TrayEvent)> on_tray_event)
    : on_tray_event_(std::move(on_tray_event)) {}

Tray::~Tray() = default;

void Tray::set_tray_icon(std::span<const std::uint8_t> ico, std::string_view gbk_tip) {
    const QImage image = QImage::fromData(ico.data(), static_cast<int>(ico.size()), "ICO");
    const QIcon picture(QPixmap::fromImage(image));
    const QString tip = qstring_from_gbk(tray_tip_bytes(gbk_tip));
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>(picture);
        connect(icon_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    for (TrayEvent e : tray_events_for(reason)) on_tray_event_(e);
                });
        icon_->setToolTip(tip);
        icon_->show();
        return;
    }
    icon_->setIcon(picture);  // the old picture is released with its QIcon
    icon_->setToolTip(tip);
}

void Tray::remove_tray_icon() {
    if (!icon_) return;
    // Gone from the tray at once; the object itself goes later, as this may run inside one of
    // its own notifications (the tray menu's "退出").
    icon_->hide();
    icon_.release()->deleteLater();
}

bool Tray::shown_in_a_tray() const {
    return icon_ && icon_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void Tray::show_tray_menu(QMenu& menu, QWidget& window) {
    QAction* chosen = nullptr;
    {
        QMenu popup;
        std::vector<std::pair<QAction*, QAction*>> items;  // popup item, menu item
        for (QAction* item : menu.actions())
            items.emplace_back(popup.addAction(item->text()), item);
        const QPoint pointer = QCursor::pos();
        // The window comes to the front first, so the popup closes when the user clicks elsewhere.
        if (window.isVisible()) window.activateWindow();
        QAction* picked = popup.exec(tray_menu_top_left(pointer, popup.sizeHint()));
        for (const auto& [shown, item] : items) {
            if (shown == picked) chosen = item;
        }
    }
    // The popup is gone; the chosen command runs from the event queue, after this notification
    // has been handled, so that it may remove the tray icon and end the program.
    if (chosen) QMetaObject::invokeMethod(chosen, &QAction::trigger, Qt::QueuedConnection);
}

}  // namespace motor::panel
