#pragma once
// The tray icon: put up once at start, removed on the way out. Its mouse notifications become
// the three tray events; the popup menu shows the items of the menu "托盘右键" at the pointer.

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QSystemTrayIcon>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

class QMenu;
class QWidget;

namespace motor::panel {

enum TrayEvent : std::int32_t {
    TRAY_LEFT_RELEASE = 1,
    TRAY_LEFT_DOUBLE_CLICK = 2,
    TRAY_RIGHT_RELEASE = 3,
};

// The tray events one notification stands for. A double click reports, after the first
// release, the double click and the second release, so a double click toggles the window twice.
std::vector<TrayEvent> tray_events_for(QSystemTrayIcon::ActivationReason reason);

// Where the popup goes: its top-right corner 5 pixels up and left of the pointer.
QPoint tray_menu_top_left(QPoint pointer, QSize menu_size);

// The first 62 bytes of a tip, never half a double-byte character.
std::string_view tray_tip_bytes(std::string_view gbk_tip);

class Tray final : public QObject {
  public:
    explicit Tray(std::function<void(TrayEvent)> on_tray_event);
    ~Tray() override;

    // Adds the icon, or replaces the picture and tip of the one that is up.
    void set_tray_icon(std::span<const std::uint8_t> ico, std::string_view gbk_tip);
    // Removes the icon; nothing when there is none.
    void remove_tray_icon();
    // Shows the menu's items as a popup at the pointer and returns when it closes.
    void show_tray_menu(QMenu& menu, QWidget& window);

    bool has_icon() const { return icon_ != nullptr; }
    // An icon is up and a notification area shows it: only then can a hidden window come back.
    bool shown_in_a_tray() const;

  private:
    std::function<void(TrayEvent)> on_tray_event_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace motor::panel
