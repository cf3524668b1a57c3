// The window built from its description, and the window operations on its real widgets.

#include <QAction>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

// moc cannot read the UTF-8 identifiers of the core's headers, and needs none of them.
#ifndef Q_MOC_RUN
#include "caption_button.h"
#include "gbk_text.h"
#include "panel_under_test.h"
#include "unit_palette.h"
#include "window_description.h"
#endif

namespace motor::panel {
namespace {

const QColor orange(255, 128, 0);
const QColor black(0, 0, 0);

QColor button_face() {
    return QApplication::palette().color(QPalette::Button);
}

QColor base_of(const QWidget* w) {
    return w->palette().color(QPalette::Base);
}

// The colour painted inside an edit box, away from its frame and text.
QColor painted_base(QWidget* w) {
    const QImage image = w->grab().toImage();
    return image.pixelColor(4, image.height() / 2);
}

}  // namespace

class WindowBuildTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { panel = std::make_unique<PanelUnderTest>(); }
    void cleanup() { panel.reset(); }

    void every_unit_starts_as_described_data();
    void every_unit_starts_as_described();
    void captions_fit_on_their_controls();
    void window_has_its_frame_title_and_place();
    void menu_bar_holds_the_one_menu_with_four_items();
    void earlier_units_lie_above_later_ones();
    void tab_visits_the_cycle_both_ways();
    void focus_comes_back_when_the_window_is_activated_again();
    void a_window_without_focus_passes_it_to_the_first_tab_stop();
    void start_runs_the_creation_handler_hidden_and_keeps_its_focus();
    void texts_cross_the_widget_boundary_as_gbk();
    void program_writes_are_not_cut_to_the_length_limit();
    void default_colour_paints_the_button_face();
    void waiting_events_run_inside_process_pending_events();
    void timer_period_writes();
    void window_state_and_visibility();
    void a_valid_reply_lights_the_boxes_green_for_half_a_second();

  private:
    std::unique_ptr<PanelUnderTest> panel;
};

void WindowBuildTest::every_unit_starts_as_described_data() {
    QTest::addColumn<int>("control");
    for (const Unit& unit : window_description()) {
        if (unit.name) {
            QTest::newRow(control_name(*unit.name).data()) << static_cast<int>(*unit.name);
        }
    }
}

void WindowBuildTest::every_unit_starts_as_described() {
    QFETCH(int, control);
    const Control name = static_cast<Control>(control);
    const Unit& unit = unit_of(name);
    const WindowControls& controls = panel->window.controls();
    const QString caption = QString::fromUtf8(unit.caption);

    if (unit.kind == UnitKind::serial_port) {
        QVERIFY(!panel->window.serial_port().is_open());  // created closed
        return;
    }
    if (unit.kind == UnitKind::timer) {
        QTimer* timer = controls.timer(name);
        QVERIFY(timer);
        QCOMPARE(timer->objectName(), name_of(name));
        QCOMPARE(panel->window.ops().timer_period(name), unit.period_ms);
        QCOMPARE(timer->isActive(), unit.period_ms > 0);
        QObject* expected_parent = unit.parent
                                       ? static_cast<QObject*>(controls.widget(*unit.parent))
                                       : panel->window.centralWidget();
        QCOMPARE(timer->parent(), expected_parent);
        return;
    }

    QWidget* w = controls.widget(name);
    QVERIFY(w);
    QCOMPARE(w->objectName(), name_of(name));
    QCOMPARE(w->window(), &panel->window);
    QWidget* expected_parent =
        unit.parent ? controls.widget(*unit.parent) : panel->window.centralWidget();
    QCOMPARE(w->parentWidget(), expected_parent);
    QCOMPARE(w->geometry(), QRect(unit.geometry.left, unit.geometry.top, unit.geometry.width,
                                  unit.geometry.height));
    QCOMPARE(w->isVisibleTo(&panel->window), unit.flags.visible);
    QCOMPARE(w->isEnabled(), !unit.flags.disabled);
    QCOMPARE(w->focusPolicy(), unit.flags.tab_stop ? Qt::StrongFocus : Qt::NoFocus);
    QCOMPARE(w->font().pixelSize(), unit.font_pixel_height > 0 ? unit.font_pixel_height
                                                               : QApplication::font().pixelSize());

    switch (unit.kind) {
        case UnitKind::button: {
            auto* button = qobject_cast<QPushButton*>(w);
            QVERIFY(button);
            QCOMPARE(button->text(), caption);
            QVERIFY(!button->isDefault() && !button->autoDefault());
            // The system's button colours, not the window's orange.
            QCOMPARE(w->palette().color(QPalette::Button), button_face());
            QCOMPARE(w->palette().color(QPalette::Window),
                     QApplication::palette().color(QPalette::Window));
            break;
        }
        case UnitKind::label: {
            auto* label = qobject_cast<QLabel*>(w);
            QVERIFY(label);
            QCOMPARE(label->text(), caption);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QVERIFY(!label->wordWrap());
            QVERIFY(!label->buddy());  // so "&" is drawn, not taken as an access key
            QCOMPARE(
                label->alignment(),
                (name == Control::标签6 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter);
            QCOMPARE(w->palette().color(QPalette::Window), orange);
            QCOMPARE(w->palette().color(QPalette::WindowText), black);
            QVERIFY(w->autoFillBackground());
            break;
        }
        case UnitKind::group_box: {
            auto* box = qobject_cast<QGroupBox*>(w);
            QVERIFY(box);
            QCOMPARE(box->title(), caption);
            QCOMPARE(w->palette().color(QPalette::Window), orange);
            QCOMPARE(w->palette().color(QPalette::WindowText), black);
            // The inside is the box's own colour, not a shade of it.
            const QImage image = w->grab().toImage();
            QCOMPARE(image.pixelColor(image.width() / 2, image.height() - 6), orange);
            break;
        }
        case UnitKind::edit_box: {
            EditBox* box = controls.edit_box(name);
            QVERIFY(box);
            QCOMPARE(box->text(), caption);
            QCOMPARE(base_of(box), to_qcolor(unit.background));
            QCOMPARE(painted_base(box), to_qcolor(unit.background));
            QCOMPARE(w->palette().color(QPalette::Text), black);
            QCOMPARE(box->length_limit(), unit.max_length);
            QCOMPARE(box->maxLength(), unit.max_length > 0 ? unit.max_length : 32767);
            QCOMPARE(box->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
            QCOMPARE(box->isReadOnly(), unit.input_mode == InputMode::read_only);
            QVERIFY(box->hasFrame());
            break;
        }
        default:
            QFAIL("a unit of a kind the window does not build");
    }
}

// Readable and unclipped at the default font: every caption fits its control on one line.
void WindowBuildTest::captions_fit_on_their_controls() {
    for (const Unit& unit : window_description()) {
        if (!unit.name) continue;
        QWidget* w = panel->widget(*unit.name);
        const QString caption = QString::fromUtf8(unit.caption);
        if (auto* button = dynamic_cast<CaptionButton*>(w)) {
            QVERIFY2(!button->caption_wraps(), control_name(*unit.name).data());
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            QVERIFY2(label->fontMetrics().horizontalAdvance(caption) <= label->width(),
                     control_name(*unit.name).data());
            QVERIFY2(label->fontMetrics().height() <= label->height(),
                     control_name(*unit.name).data());
        }
    }
    // A caption wider than its button is broken into lines rather than clipped.
    auto* narrow = dynamic_cast<CaptionButton*>(panel->widget(Control::按钮_恢复出厂运行方向));
    narrow->resize(40, 40);
    QVERIFY(narrow->caption_wraps());
}

void WindowBuildTest::window_has_its_frame_title_and_place() {
    MainWindow& w = panel->window;
    QCOMPARE(w.windowTitle(), QStringLiteral("KV7514-9600"));
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(w.minimumSize(), w.maximumSize());  // not resizable
    QCOMPARE(w.palette().color(QPalette::Window), orange);

    QVERIFY(panel->show_active());
    // Once the window system has reported the frame, frame and all are 473 x 470.
    QTRY_COMPARE(w.frameGeometry().size(), QSize(473, 470));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(w.frameGeometry().topLeft(), QPoint(screen.x() + (screen.width() - 473) / 2,
                                                 screen.y() + (screen.height() - 470) / 2));
    // The orange reaches the client area's edges.
    const QImage image = w.grab().toImage();
    QCOMPARE(image.pixelColor(2, image.height() - 3), orange);
}

void WindowBuildTest::menu_bar_holds_the_one_menu_with_four_items() {
    QMenuBar* bar = panel->window.menuBar();
    QVERIFY(!bar->isNativeMenuBar());
    QCOMPARE(bar->actions().size(), 1);
    QCOMPARE(bar->actions().front()->text(), QStringLiteral("托盘右键"));
    QCOMPARE(bar->actions().front()->menu(), &panel->window.tray_menu());
    QStringList items;
    for (QAction* item : panel->window.tray_menu().actions()) {
        items << item->text();
        QVERIFY(item->shortcut().isEmpty());
        QVERIFY(!item->isCheckable());
        QVERIFY(item->isEnabled());
        QVERIFY(item->isVisible());
    }
    QCOMPARE(items, (QStringList{"退出程序", "显示窗口", "窗口最小化", "退出"}));
    // The menu bar keeps the system's colours.
    QCOMPARE(bar->palette().color(QPalette::Window),
             QApplication::palette().color(QPalette::Window));
}

// Qt keeps the stacking order as the order of a parent's children, the top one last.
void WindowBuildTest::earlier_units_lie_above_later_ones() {
    const WindowControls& controls = panel->window.controls();
    QList<QWidget*> parents{panel->window.centralWidget()};
    for (Control box : {Control::分组框5, Control::分组框3, Control::分组框1}) {
        parents << controls.widget(box);
    }
    for (QWidget* parent : parents) {
        QList<QWidget*> in_list_order;
        for (const Unit& unit : window_description()) {
            QWidget* w = unit.name ? controls.widget(*unit.name) : nullptr;
            if (w && w->parentWidget() == parent) in_list_order << w;
        }
        QList<QWidget*> top_first;
        for (QObject* child : parent->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (w && controls.name_of(w)) top_first.prepend(w);
        }
        QCOMPARE(top_first, in_list_order);
    }
}

void WindowBuildTest::tab_visits_the_cycle_both_ways() {
    using enum Control;
    const QList<Control> cycle = {
        按钮_开,     按钮_关,         按钮_比例控制,   按钮_停,           按钮_COM加,
        按钮_COM减,  编辑框_目标地址, 编辑框_目标位置, 按钮_读当前位置,   按钮_全速关,
        按钮_全速开, 编辑框_实际位置, 按钮_通读地址,   编辑框_通读地址,   按钮_恢复出厂预留,
        按钮_关预留, 按钮_开预留,     按钮1,           按钮_改变运行方向, 按钮_恢复出厂运行方向,
    };
    QVERIFY(panel->show_active());
    QVERIFY(panel->focus(按钮_开));
    // Twice round, so the wrap from the last to the first is taken too.
    for (int i = 1; i <= 2 * cycle.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), panel->widget(cycle[i % cycle.size()]));
    }
    for (int i = 2 * cycle.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), panel->widget(cycle[i % cycle.size()]));
    }
}

void WindowBuildTest::focus_comes_back_when_the_window_is_activated_again() {
    QVERIFY(panel->show_active());
    QVERIFY(panel->focus(Control::编辑框_目标地址));
    QWidget other;
    other.setGeometry(0, 0, 100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    panel->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&panel->window));
    QCOMPARE(QApplication::focusWidget(), panel->widget(Control::编辑框_目标地址));
}

void WindowBuildTest::a_window_without_focus_passes_it_to_the_first_tab_stop() {
    QVERIFY(panel->window.focusWidget() == nullptr);
    QVERIFY(panel->show_active());
    QCOMPARE(QApplication::focusWidget(), panel->widget(Control::按钮_开));
}

void WindowBuildTest::start_runs_the_creation_handler_hidden_and_keeps_its_focus() {
    bool hidden_while_created = false;
    panel->window.start([&] {
        hidden_while_created = !panel->window.isVisible();
        panel->window.ops().set_focus(Control::按钮_通读地址);
    });
    QVERIFY(hidden_while_created);
    QVERIFY(QTest::qWaitForWindowActive(&panel->window));
    QCOMPARE(QApplication::focusWidget(), panel->widget(Control::按钮_通读地址));
}

void WindowBuildTest::texts_cross_the_widget_boundary_as_gbk() {
    QtWindowOps& ops = panel->window.ops();
    const std::string status = utf8_to_gbk("串口 3 启动成功！");
    ops.set_text(Control::标签_端口选择, status);
    QCOMPARE(qobject_cast<QLabel*>(panel->widget(Control::标签_端口选择))->text(),
             QStringLiteral("串口 3 启动成功！"));
    QCOMPARE(ops.text(Control::标签_端口选择), status);
    QCOMPARE(ops.text(Control::标签1), utf8_to_gbk("目地位置"));
    QCOMPARE(ops.text(Control::编辑框_目标地址), std::string("010203"));
    // Only edit boxes and labels have texts here.
    QCOMPARE(ops.text(Control::按钮_开), std::string());
}

void WindowBuildTest::program_writes_are_not_cut_to_the_length_limit() {
    EditBox* box = panel->edit(Control::编辑框_实际位置);
    panel->window.ops().set_text(Control::编辑框_实际位置, "12345");
    QCOMPARE(box->text(), QStringLiteral("12345"));
    // The operator still cannot lengthen it, and the limit holds again once it is short.
    QVERIFY(panel->show_active());
    QVERIFY(panel->focus(Control::编辑框_实际位置));
    box->end(false);
    QTest::keyClicks(box, "6");
    QCOMPARE(box->text(), QStringLiteral("12345"));
    box->setText("");
    QTest::keyClicks(box, "98765");
    QCOMPARE(box->text(), QStringLiteral("987"));
}

void WindowBuildTest::default_colour_paints_the_button_face() {
    QVERIFY(panel->show_active());
    for (Control c : {Control::编辑框_通读地址, Control::编辑框_目标位置}) {
        panel->window.ops().set_background(c, DEFAULT_COLOUR);
        QCOMPARE(base_of(panel->widget(c)), button_face());
        QCOMPARE(painted_base(panel->widget(c)), button_face());
    }
    panel->window.ops().set_background(Control::编辑框_目标位置, 0x00123456u);
    QCOMPARE(base_of(panel->widget(Control::编辑框_目标位置)), QColor(0x56, 0x34, 0x12));
}

// The port hands received bytes over as queued calls to the window; a handler that processes
// pending events runs them nested, before it goes on.
void WindowBuildTest::waiting_events_run_inside_process_pending_events() {
    QStringList order;
    QMetaObject::invokeMethod(
        &panel->window, [&] { order << "queued"; }, Qt::QueuedConnection);
    order << "before";
    panel->window.ops().process_pending_events();
    order << "after";
    QCOMPARE(order, (QStringList{"before", "queued", "after"}));
}

void WindowBuildTest::timer_period_writes() {
    QtWindowOps& ops = panel->window.ops();
    QTimer* watchdog = panel->window.controls().timer(Control::时钟1);
    // The same period on a running timer keeps its next tick where it was.
    QTRY_VERIFY(watchdog->remainingTime() < 400);
    ops.set_timer_period(Control::时钟1, 500);
    QVERIFY(watchdog->isActive());
    QVERIFY(watchdog->remainingTime() < 400);
    // A different period restarts it.
    ops.set_timer_period(Control::时钟1, 300);
    QCOMPARE(ops.timer_period(Control::时钟1), 300);
    QVERIFY(watchdog->remainingTime() > 200);
    // 0 and negative values stop it; a positive period starts a stopped one.
    ops.set_timer_period(Control::时钟1, 0);
    QVERIFY(!watchdog->isActive());
    QCOMPARE(ops.timer_period(Control::时钟1), 0);
    ops.set_timer_period(Control::时钟1, 500);
    QVERIFY(watchdog->isActive());
    QVERIFY(watchdog->remainingTime() > 400);
    ops.set_timer_period(Control::时钟1, -7);
    QCOMPARE(ops.timer_period(Control::时钟1), 0);
    QVERIFY(!watchdog->isActive());
}

void WindowBuildTest::window_state_and_visibility() {
    QtWindowOps& ops = panel->window.ops();
    // Hidden before it is shown: a write has no visible effect.
    QVERIFY(!ops.visible());
    ops.set_window_state(MINIMISED);
    QVERIFY(!ops.visible());
    QCOMPARE(ops.window_state(), NORMAL);

    QVERIFY(panel->show_active());
    QVERIFY(ops.visible());
    QCOMPARE(ops.window_state(), NORMAL);
    ops.set_window_state(CENTRED);  // written, but never read back
    QCOMPARE(ops.window_state(), NORMAL);
    ops.set_window_state(9);  // above 3 is MAXIMISED
    QTRY_COMPARE(ops.window_state(), MAXIMISED);
    ops.set_window_state(-2);  // below 0 is NORMAL
    QTRY_COMPARE(ops.window_state(), NORMAL);

    ops.set_window_state(MINIMISED);
    QTRY_COMPARE(ops.window_state(), MINIMISED);
    ops.set_visible(false);
    QVERIFY(!ops.visible());
    QCOMPARE(ops.window_state(), MINIMISED);  // minimised whether shown or hidden
    ops.set_window_state(NORMAL);             // hidden: no effect
    QVERIFY(!ops.visible());
    QCOMPARE(ops.window_state(), MINIMISED);

    ops.set_visible(true);  // shown in its current state
    QVERIFY(ops.visible());
    QCOMPARE(ops.window_state(), MINIMISED);
    ops.set_window_state(NORMAL);
    QTRY_COMPARE(ops.window_state(), NORMAL);
    QVERIFY(QTest::qWaitForWindowActive(&panel->window));
}

void WindowBuildTest::a_valid_reply_lights_the_boxes_green_for_half_a_second() {
    using enum Control;
    QVERIFY(panel->show_active());
    const QList<Control> boxes = {编辑框_通读地址, 编辑框_目标地址, 编辑框_实际位置};
    const QColor green(0, 255, 0);
    QElapsedTimer since_reply;
    since_reply.start();
    for (std::uint8_t b : {0x03, 0x02, 0x01, 0x00, 0x2A, 0x30})
        panel->window.link().on_reply_byte(b);
    QCOMPARE(panel->edit(编辑框_实际位置)->text(), QStringLiteral("42"));
    QCOMPARE(panel->edit(编辑框_目标地址)->text(), QStringLiteral("010203"));
    QCOMPARE(panel->edit(编辑框_通读地址)->text(), QStringLiteral("010203"));
    for (Control c : boxes) {
        QCOMPARE(base_of(panel->widget(c)), green);
        QCOMPARE(painted_base(panel->widget(c)), green);
    }
    QCOMPARE(panel->window.ops().timer_period(时钟_闪烁定时), 500);

    QTRY_COMPARE_WITH_TIMEOUT(base_of(panel->widget(编辑框_实际位置)), button_face(), 2000);
    QVERIFY2(since_reply.elapsed() >= 450, "the highlight ended early");
    for (Control c : boxes) {
        QCOMPARE(base_of(panel->widget(c)), button_face());
        QCOMPARE(painted_base(panel->widget(c)), button_face());
    }
    QCOMPARE(panel->window.ops().timer_period(时钟_闪烁定时), 0);
}

}  // namespace motor::panel

QTEST_MAIN(motor::panel::WindowBuildTest)
#include "window_build_test.moc"
