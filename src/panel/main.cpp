// The program motor-panel: the panel's window with the port closed.

#include <QApplication>

#include "main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::unique_ptr<motor::PanelState> state = motor::init_globals();
    motor::panel::MainWindow window(*state);
    window.start([&] {
        state->reply_index = 1;  // the next received byte starts a frame
        window.ops().set_focus(motor::Control::按钮_通读地址);  // the letters work at once
    });
    return QApplication::exec();
}
