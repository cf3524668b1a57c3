// The running program headless: the creation handler, the tray's pieces, the way out.

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sstream>

// moc cannot read the UTF-8 identifiers of the core's headers, and needs none of them.
#ifndef Q_MOC_RUN
#include "gbk_text.h"
#include "program.h"
#include "saved_port_file.h"
#include "tray.h"
#include "tray_icon_image.h"
#endif

Q_DECLARE_METATYPE(QSystemTrayIcon::ActivationReason)
Q_DECLARE_METATYPE(std::vector<motor::panel::TrayEvent>)

namespace motor::panel {
namespace {

std::string read_file(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void tray_notifications_become_tray_events_data();
    void tray_notifications_become_tray_events();
    void tray_menu_has_its_top_right_corner_above_left_of_the_pointer();
    void tray_tip_keeps_at_most_62_bytes();
    void tray_icon_image_shows_two_green_triangles();
    void creation_handler_opens_the_saved_port_focuses_and_puts_up_the_icon();
    void exit_program_runs_again_inside_itself_safely();
    void minimising_without_a_tray_leaves_the_window_minimised();

  private:
    std::unique_ptr<QTemporaryDir> dir;
    std::filesystem::path saved_file;
    std::unique_ptr<PanelState> state;
    std::unique_ptr<Program> program;
};

void ProgramTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    qputenv("MOTOR_PANEL_PORT_DIR", (dir->path() + "/ports").toUtf8());  // no port exists
    saved_file = std::filesystem::path(dir->path().toStdString()) / saved_port_file_name;
    state = init_globals();
    program = std::make_unique<Program>(*state, saved_file);
}

void ProgramTest::cleanup() {
    program.reset();
    state.reset();
    dir.reset();
}

void ProgramTest::tray_notifications_become_tray_events_data() {
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<std::vector<TrayEvent>>("events");
    QTest::newRow("left click") << QSystemTrayIcon::Trigger << std::vector{TRAY_LEFT_RELEASE};
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick
                                  << std::vector{TRAY_LEFT_DOUBLE_CLICK, TRAY_LEFT_RELEASE};
    QTest::newRow("right click") << QSystemTrayIcon::Context << std::vector{TRAY_RIGHT_RELEASE};
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << std::vector<TrayEvent>{};
    QTest::newRow("unknown") << QSystemTrayIcon::Unknown << std::vector<TrayEvent>{};
}

void ProgramTest::tray_notifications_become_tray_events() {
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(std::vector<TrayEvent>, events);
    QVERIFY(tray_events_for(reason) == events);
}

void ProgramTest::tray_menu_has_its_top_right_corner_above_left_of_the_pointer() {
    QCOMPARE(tray_menu_top_left(QPoint(500, 400), QSize(120, 80)), QPoint(375, 395));
}

void ProgramTest::tray_tip_keeps_at_most_62_bytes() {
    const std::string tip = utf8_to_gbk("电机增量控制程序");
    QCOMPARE(tray_tip_bytes(tip), std::string_view(tip));
    std::string long_tip;
    for (int i = 0; i < 35; ++i) long_tip += utf8_to_gbk("电");
    QCOMPARE(tray_tip_bytes(long_tip).size(), std::size_t{62});
    const std::string odd = std::string(61, 'a') + utf8_to_gbk("电");
    QCOMPARE(tray_tip_bytes(odd).size(), std::size_t{61});  // never half a character
}

void ProgramTest::tray_icon_image_shows_two_green_triangles() {
    QCOMPARE(tray_icon_image.size(), std::size_t{318});
    QCOMPARE(int(tray_icon_image[6]), 16);  // width
    QCOMPARE(int(tray_icon_image[8]), 16);  // colours
    QCOMPARE(int(tray_icon_image[12]), 4);  // bits per pixel
    // The palette's entry 10 is pure green (blue, green, red, 0).
    const std::size_t green_entry = 6 + 16 + 40 + 10 * 4;
    QCOMPARE(int(tray_icon_image[green_entry + 1]), 255);
    QCOMPARE(int(tray_icon_image[green_entry]) + int(tray_icon_image[green_entry + 2]), 0);

    const QImage image =
        QImage::fromData(tray_icon_image.data(), int(tray_icon_image.size()), "ICO");
    QCOMPARE(image.size(), QSize(16, 16));
    // The rows as described: 1 pixel wide in rows 3 and 13, 6 in row 8, columns from 1 and 9.
    const int widths[16] = {0, 0, 0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 0};
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 16; ++column) {
            const int c = column >= 8 ? column - 8 : column;
            const bool green = c >= 1 && c <= widths[row];
            const QColor pixel = image.pixelColor(column, row);
            if (green) {
                QCOMPARE(pixel, QColor(0, 255, 0));
            } else {
                QVERIFY2(pixel.alpha() == 0,
                         qPrintable(QString("row %1 column %2").arg(row).arg(column)));
            }
        }
    }
}

void ProgramTest::creation_handler_opens_the_saved_port_focuses_and_puts_up_the_icon() {
    std::ofstream(saved_file, std::ios::binary) << "abc";
    program->start();
    MainWindow* window = program->window();
    QVERIFY(window);
    QCOMPARE(state->reply_index, 1);
    QCOMPARE(window->ops().text(Control::标签_COM), std::string("COMabc"));
    QCOMPARE(gbk_to_utf8(window->ops().text(Control::标签_端口选择)),
             std::string("串口 abc 启动失败，请重新选择！"));
    QCOMPARE(program->port_selection()->port_number, 0);
    QVERIFY(program->tray().has_icon());
    QVERIFY(window->isVisible());
    QTRY_VERIFY(QApplication::focusWidget() != nullptr);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("按钮_通读地址"));
}

void ProgramTest::exit_program_runs_again_inside_itself_safely() {
    program->start();
    QPointer<MainWindow> window = program->window();
    // A second close request waits in the queue when the first one handles pending events.
    QMetaObject::invokeMethod(
        program.get(), [this] { program->exit_program(); }, Qt::QueuedConnection);
    program->exit_program();
    QVERIFY(!program->tray().has_icon());
    QVERIFY(window.isNull() || !window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
    QCOMPARE(read_file(saved_file), std::string("1"));  // written once, at the destruction
    program->exit_program();                            // nothing left to remove or destroy
}

void ProgramTest::minimising_without_a_tray_leaves_the_window_minimised() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) QSKIP("a tray is available here");
    program->start();
    MainWindow* window = program->window();
    window->ops().set_window_state(MINIMISED);
    QCoreApplication::processEvents();
    QVERIFY(window->isVisible());  // not hidden into nowhere
}

}  // namespace motor::panel

QTEST_MAIN(motor::panel::ProgramTest)
#include "program_test.moc"
