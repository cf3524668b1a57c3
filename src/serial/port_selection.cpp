#include "port_selection.h"

#include "gbk_text.h"
#include "saved_port_file.h"
#include "text_number.h"

namespace motor {

std::string port_label_text(std::string_view port_text) {
    return "COM" + std::string(port_text);
}

std::string port_status_text(std::string_view port_text, bool started) {
    static const std::string prefix = utf8_to_gbk("串口 ");
    static const std::string success = utf8_to_gbk(" 启动成功！");
    static const std::string failure = utf8_to_gbk(" 启动失败，请重新选择！");
    return prefix + std::string(port_text) + (started ? success : failure);
}

std::uint8_t port_number_from_text(std::string_view port_text) {
    // Only the low 8 bits count: "300" is port 44, "256" is 0 (then COM1), "-1" is 255.
    return static_cast<std::uint8_t>(truncate_to_int64(text_to_number(port_text)) & 0xFF);
}

PortSelection::PortSelection(WindowOps& window, PortSwitch& port, std::filesystem::path file)
    : window_(window), port_(port), file_(std::move(file)) {}

void PortSelection::start_selected_port() {
    window_.set_text(Control::标签_COM, port_label_text(port_text));
    port_.set_com_number(port_number);  // the port object takes 0 as 1
    show_outcome(port_.start_port() == 1);
}

void PortSelection::show_outcome(bool started) {
    window_.set_text(Control::标签_端口选择, port_status_text(port_text, started));
}

void PortSelection::show_port_lost() {
    show_outcome(false);
}

void PortSelection::select_next_port() {
    port_.stop_port();
    ++port_number;  // 255 wraps to 0, which is then 1
    if (port_number == 0) port_number = 1;
    port_text = std::to_string(port_number);
    start_selected_port();
}

void PortSelection::select_previous_port() {
    port_.stop_port();
    --port_number;  // 0 wraps to 255 by itself
    if (port_number == 0) port_number = 255;
    port_text = std::to_string(port_number);
    start_selected_port();
}

void PortSelection::load_saved_port() {
    port_text = read_saved_port_line(file_).text;
    if (port_text.empty()) port_text = "1";
    port_number = port_number_from_text(port_text);
    start_selected_port();
}

void PortSelection::save_port() {
    // A failed write is not reported; the file keeps its former content.
    (void)write_saved_port(file_, std::to_string(port_number));
}

}  // namespace motor
