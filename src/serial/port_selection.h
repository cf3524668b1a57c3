#pragma once
// The choice of the serial port: COM- and COM+ step through ports 1 to 255 with wrap-around and
// restart the port at once; the number survives a restart in the saved port file. The outcome
// is shown in the labels 标签_COM and 标签_端口选择.

#include <cstdint>
#include <filesystem>
#include <string>

#include "window_ops.h"

namespace motor {

// What port selection needs of the port object 串口.
class PortSwitch {
  public:
    virtual ~PortSwitch() = default;
    virtual void set_com_number(std::int32_t n) = 0;
    virtual std::int32_t start_port() = 0;
    virtual void stop_port() = 0;
};

// Adapts any port object with those three operations.
template <typename Port>
class PortSwitchFor final : public PortSwitch {
  public:
    explicit PortSwitchFor(Port& port) : port_(port) {}
    void set_com_number(std::int32_t n) override { port_.set_com_number(n); }
    std::int32_t start_port() override { return port_.start_port(); }
    void stop_port() override { port_.stop_port(); }

  private:
    Port& port_;
};

class PortSelection {
  public:
    PortSelection(WindowOps& window, PortSwitch& port, std::filesystem::path saved_port_file);

    // Reads the saved port file (creating it empty when missing) and starts that port.
    void load_saved_port();
    // Writes port_number to the saved port file, replacing it whole or not at all.
    void save_port();
    // COM+ and COM-: the actions of the left mouse button going down on 按钮_COM加 / 按钮_COM减.
    void select_next_port();
    void select_previous_port();
    // Shows port_text in 标签_COM, starts the port on port_number and shows the outcome.
    void start_selected_port();
    // The port closed itself (the device went away): the status shows the failure text.
    void show_port_lost();

    std::uint8_t port_number = 0;
    std::string port_text;  // GBK bytes, shown as read from the file or as the decimal number

    const std::filesystem::path& saved_port_file() const { return file_; }

  private:
    void show_outcome(bool started);

    WindowOps& window_;
    PortSwitch& port_;
    std::filesystem::path file_;
};

// The port number a port text stands for: the low 8 bits of its number ("300" is 44, "256" 0,
// "-1" 255, "abc" 0). The panel reads its saved port so, and the simulator to find that port.
std::uint8_t port_number_from_text(std::string_view port_text);

// The label texts, as GBK bytes.
std::string port_label_text(std::string_view port_text);
std::string port_status_text(std::string_view port_text, bool started);

}  // namespace motor
