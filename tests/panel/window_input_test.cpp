// What the operator's keys, clicks and typing do on the real window: command buttons and the
// key map, navigation keys, and the rules of the two input fields.

#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

// moc cannot read the UTF-8 identifiers of the core's headers, and needs none of them.
#ifndef Q_MOC_RUN
#include "panel_under_test.h"
#include "window_description.h"
#endif

namespace motor::panel {
namespace {

using enum Control;

struct KeyStroke {
    const char* name;
    Qt::Key key;
    QString text;  // what the key types without modifiers
};

struct Command {
    CommandCode code;
    Control button;
};

// The keys of the key map with the command each sends and the button that takes the focus.
const QList<QPair<KeyStroke, Command>> key_map = {
    {{"Z", Qt::Key_Z, "z"}, {CommandCode::OPEN, 按钮_开}},
    {{"C", Qt::Key_C, "c"}, {CommandCode::OPEN, 按钮_开}},
    {{"F11", Qt::Key_F11, ""}, {CommandCode::OPEN, 按钮_开}},
    {{"V", Qt::Key_V, "v"}, {CommandCode::STOP, 按钮_停}},
    {{"X", Qt::Key_X, "x"}, {CommandCode::STOP, 按钮_停}},
    {{"N", Qt::Key_N, "n"}, {CommandCode::STOP, 按钮_停}},
    {{"F7", Qt::Key_F7, ""}, {CommandCode::STOP, 按钮_停}},
    {{"F9", Qt::Key_F9, ""}, {CommandCode::STOP, 按钮_停}},
    {{"M", Qt::Key_M, "m"}, {CommandCode::CLOSE, 按钮_关}},
    {{"B", Qt::Key_B, "b"}, {CommandCode::CLOSE, 按钮_关}},
    {{"A", Qt::Key_A, "a"}, {CommandCode::BROADCAST_READ_ADDRESS, 按钮_通读地址}},
    {{"S", Qt::Key_S, "s"}, {CommandCode::PROPORTIONAL_CONTROL, 按钮_比例控制}},
    {{"F4", Qt::Key_F4, ""}, {CommandCode::PROPORTIONAL_CONTROL, 按钮_比例控制}},
    {{"D", Qt::Key_D, "d"}, {CommandCode::READ_POSITION, 按钮_读当前位置}},
    {{"F", Qt::Key_F, "f"}, {CommandCode::PULL_START_ON, 按钮_全速开}},
    {{"G", Qt::Key_G, "g"}, {CommandCode::PULL_START_OFF, 按钮_全速关}},
};

const QList<Control> key_map_buttons = {按钮_开,         按钮_停,     按钮_关,     按钮_比例控制,
                                        按钮_读当前位置, 按钮_全速开, 按钮_全速关, 按钮_通读地址,
                                        按钮_COM减,      按钮_COM加};

const QList<Command> command_buttons = {
    {CommandCode::OPEN, 按钮_开},
    {CommandCode::STOP, 按钮_停},
    {CommandCode::CLOSE, 按钮_关},
    {CommandCode::PROPORTIONAL_CONTROL, 按钮_比例控制},
    {CommandCode::READ_POSITION, 按钮_读当前位置},
    {CommandCode::PULL_START_ON, 按钮_全速开},
    {CommandCode::PULL_START_OFF, 按钮_全速关},
    {CommandCode::BROADCAST_READ_ADDRESS, 按钮_通读地址},
    {CommandCode::PAIRING, 按钮1},
    {CommandCode::RESERVED_ON, 按钮_开预留},
    {CommandCode::RESERVED_OFF, 按钮_关预留},
    {CommandCode::RESTORE_FACTORY_RESERVED, 按钮_恢复出厂预留},
    {CommandCode::CHANGE_DIRECTION, 按钮_改变运行方向},
    {CommandCode::RESTORE_FACTORY_DIRECTION, 按钮_恢复出厂运行方向},
};

// The frame a command goes out as with the window's initial texts: address "010203",
// position "50"; the broadcast command always goes to 00 00 00.
Frame expected_frame(CommandCode code, std::uint8_t value = 50) {
    const bool broadcast = code == CommandCode::BROADCAST_READ_ADDRESS;
    Frame f{};
    f[0] = broadcast ? 0 : 0x03;
    f[1] = broadcast ? 0 : 0x02;
    f[2] = broadcast ? 0 : 0x01;
    f[3] = static_cast<std::uint8_t>(code);
    f[4] = value;
    f[5] = frame_checksum(f[0], f[1], f[2], f[3], f[4]);
    return f;
}

QByteArray row_name(Control c, const char* what) {
    return QByteArray(control_name(c).data()) + " / " + what;
}

}  // namespace

class WindowInputTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        panel = std::make_unique<PanelUnderTest>();
        QVERIFY(panel->show_active());
    }
    void cleanup() { panel.reset(); }

    void a_key_of_the_map_sends_one_frame_and_moves_the_focus_data();
    void a_key_of_the_map_sends_one_frame_and_moves_the_focus();
    void keys_outside_the_map_send_nothing_data();
    void keys_outside_the_map_send_nothing();
    void space_clicks_a_command_button_once_data();
    void space_clicks_a_command_button_once();
    void letters_send_nothing_where_there_is_no_key_map_data();
    void letters_send_nothing_where_there_is_no_key_map();
    void a_held_key_sends_one_frame_on_its_real_release();
    void alt_f4_closes_and_sends_nothing();
    void esc_alone_closes_from_every_control_data();
    void esc_alone_closes_from_every_control();
    void esc_with_a_modifier_does_not_close();
    void enter_does_nothing();

    void the_address_field_takes_hex_digits_only();
    void the_address_field_refuses_paste_and_other_controls();
    void byte_fields_take_digits_only();
    void leaving_the_position_field_normalises_it_data();
    void leaving_the_position_field_normalises_it();
    void the_caret_goes_where_the_selection_began_data();
    void the_caret_goes_where_the_selection_began();
    void a_click_sends_the_position_as_normalised();
    void the_actual_position_field_empties_a_zero();

  private:
    std::unique_ptr<PanelUnderTest> panel;
};

void WindowInputTest::a_key_of_the_map_sends_one_frame_and_moves_the_focus_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("focus");
    for (Control start : key_map_buttons) {
        for (const auto& [stroke, command] : key_map) {
            QTest::newRow(row_name(start, stroke.name))
                << int(start) << int(stroke.key) << int(Qt::NoModifier) << stroke.text
                << int(command.code) << int(command.button);
        }
    }
    // Shift, Ctrl and Caps Lock change the text a letter types, never the command it sends.
    for (const auto& [stroke, command] : key_map) {
        const QString upper = stroke.text.toUpper();
        const QString control =
            stroke.text.isEmpty() ? QString() : QString(QChar(stroke.text[0].unicode() - 'a' + 1));
        const auto variant = [&](const char* how, int mods, const QString& text) {
            QTest::newRow(QByteArray(how) + "+" + stroke.name)
                << int(按钮_COM加) << int(stroke.key) << mods << text << int(command.code)
                << int(command.button);
        };
        variant("Shift", Qt::ShiftModifier, upper);
        variant("Ctrl", Qt::ControlModifier, control);
        variant("CapsLock", Qt::NoModifier, upper);
        if (stroke.key != Qt::Key_F4)
            variant("Alt", Qt::AltModifier, stroke.text);  // Alt+F4 closes
    }
}

void WindowInputTest::a_key_of_the_map_sends_one_frame_and_moves_the_focus() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, code);
    QFETCH(int, focus);
    QVERIFY(panel->focus(static_cast<Control>(start)));
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), static_cast<Qt::Key>(key), text,
                        Qt::KeyboardModifiers(modifiers));
    QCOMPARE(panel->frames().size(), std::size_t{1});
    QCOMPARE(panel->frames().front(), expected_frame(static_cast<CommandCode>(code)));
    QCOMPARE(QApplication::focusWidget(), panel->widget(static_cast<Control>(focus)));
    QCOMPARE(int(panel->state().reply_index), 1);
}

void WindowInputTest::keys_outside_the_map_send_nothing_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("focus_stays");
    const auto row = [](Control start, const char* name, Qt::Key key, Qt::KeyboardModifiers mods,
                        const QString& text, bool focus_stays = true) {
        QTest::newRow(row_name(start, name))
            << int(start) << int(key) << int(mods) << text << focus_stays;
    };
    for (Control start : {按钮_开, 按钮_COM减}) {
        row(start, "keypad 1", Qt::Key_1, Qt::KeypadModifier, "1");
        row(start, "keypad minus", Qt::Key_Minus, Qt::KeypadModifier, "-");
        row(start, "keypad point", Qt::Key_Period, Qt::KeypadModifier, ".");
        row(start, "keypad slash", Qt::Key_Slash, Qt::KeypadModifier, "/");
        row(start, "Enter", Qt::Key_Return, Qt::NoModifier, "\r");
        row(start, "keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r");
        row(start, "F1", Qt::Key_F1, Qt::NoModifier, "");
        row(start, "F12", Qt::Key_F12, Qt::NoModifier, "");
        row(start, "Shift", Qt::Key_Shift, Qt::NoModifier, "");
        // Arrows match no letter; where they move the focus is the toolkit's business.
        row(start, "Left", Qt::Key_Left, Qt::NoModifier, "", false);
        row(start, "Right", Qt::Key_Right, Qt::NoModifier, "", false);
        row(start, "Up", Qt::Key_Up, Qt::NoModifier, "", false);
        row(start, "Down", Qt::Key_Down, Qt::NoModifier, "", false);
        for (int digit = 0; digit <= 9; ++digit) {
            const QByteArray name = "digit " + QByteArray::number(digit);
            row(start, name.constData(), static_cast<Qt::Key>(Qt::Key_0 + digit), Qt::NoModifier,
                QString::number(digit));
        }
    }
}

void WindowInputTest::keys_outside_the_map_send_nothing() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, focus_stays);
    QVERIFY(panel->focus(static_cast<Control>(start)));
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), static_cast<Qt::Key>(key), text,
                        Qt::KeyboardModifiers(modifiers));
    QVERIFY(panel->port.sent.empty());
    if (focus_stays) {
        QCOMPARE(QApplication::focusWidget(), panel->widget(static_cast<Control>(start)));
    }
}

void WindowInputTest::space_clicks_a_command_button_once_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("code");
    for (const Command& c : command_buttons) {
        QTest::newRow(control_name(c.button).data()) << int(c.button) << int(c.code);
    }
    // The port buttons act on the mouse, not on a click: Space sends nothing from them.
    QTest::newRow("按钮_COM减") << int(按钮_COM减) << -1;
    QTest::newRow("按钮_COM加") << int(按钮_COM加) << -1;
}

void WindowInputTest::space_clicks_a_command_button_once() {
    QFETCH(int, button);
    QFETCH(int, code);
    QVERIFY(panel->focus(static_cast<Control>(button)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    if (code < 0) {
        QVERIFY(panel->port.sent.empty());
    } else {
        QCOMPARE(panel->frames().size(), std::size_t{1});
        QCOMPARE(panel->frames().front(), expected_frame(static_cast<CommandCode>(code)));
        // A click keeps the focus where it is.
        QCOMPARE(QApplication::focusWidget(), panel->widget(static_cast<Control>(button)));
    }
}

void WindowInputTest::letters_send_nothing_where_there_is_no_key_map_data() {
    QTest::addColumn<int>("control");
    for (Control c : {按钮1, 按钮_开预留, 按钮_关预留, 按钮_恢复出厂预留, 按钮_改变运行方向,
                      按钮_恢复出厂运行方向, 编辑框_目标地址, 编辑框_目标位置, 编辑框_实际位置,
                      编辑框_通读地址}) {
        QTest::newRow(control_name(c).data()) << int(c);
    }
}

void WindowInputTest::letters_send_nothing_where_there_is_no_key_map() {
    QFETCH(int, control);
    QVERIFY(panel->focus(static_cast<Control>(control)));
    for (const auto& [stroke, command] : key_map) {
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), stroke.key, stroke.text,
                            Qt::NoModifier);
    }
    QVERIFY(panel->port.sent.empty());
    QCOMPARE(QApplication::focusWidget(), panel->widget(static_cast<Control>(control)));
}

// Auto-repeat delivers release and press pairs while the key is held; only the last release
// is real.
void WindowInputTest::a_held_key_sends_one_frame_on_its_real_release() {
    QVERIFY(panel->focus(按钮_开));
    QWidget* target = QApplication::focusWidget();
    const auto send = [target](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_D, Qt::NoModifier, "d", repeat);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 5; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    QVERIFY(panel->port.sent.empty());
    send(QEvent::KeyRelease, false);
    QCOMPARE(panel->frames().size(), std::size_t{1});
    QCOMPARE(panel->frames().front(), expected_frame(CommandCode::READ_POSITION));
}

void WindowInputTest::alt_f4_closes_and_sends_nothing() {
    QVERIFY(panel->focus(按钮_COM加));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::AltModifier);
    QVERIFY(!panel->window.isVisible());
    QVERIFY(panel->port.sent.empty());
}

void WindowInputTest::esc_alone_closes_from_every_control_data() {
    QTest::addColumn<int>("control");
    for (Control c : tab_cycle()) QTest::newRow(control_name(c).data()) << int(c);
}

void WindowInputTest::esc_alone_closes_from_every_control() {
    QFETCH(int, control);
    QVERIFY(panel->focus(static_cast<Control>(control)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!panel->window.isVisible());
    QVERIFY(panel->port.sent.empty());
}

void WindowInputTest::esc_with_a_modifier_does_not_close() {
    for (Qt::KeyboardModifier mod : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        QVERIFY(panel->focus(按钮_开));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, mod);
        QVERIFY(panel->window.isVisible());
    }
}

void WindowInputTest::enter_does_nothing() {
    for (Control c : {按钮_开, 按钮1, 编辑框_目标地址}) {
        QVERIFY(panel->focus(c));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), panel->widget(c));
    }
    QVERIFY(panel->port.sent.empty());
    QCOMPARE(panel->edit(编辑框_目标地址)->text(), QStringLiteral("010203"));
}

void WindowInputTest::the_address_field_takes_hex_digits_only() {
    EditBox* box = panel->edit(编辑框_目标地址);
    QVERIFY(panel->focus(编辑框_目标地址));
    box->clear();
    QTest::keyClicks(box, "01g2 a");
    QCOMPARE(box->text(), QStringLiteral("012a"));
    QTest::keyClicks(box, "Fe");
    QCOMPARE(box->text(), QStringLiteral("012aFe"));  // no case conversion
    QTest::keyClicks(box, "7");                       // a seventh digit is not taken
    QCOMPARE(box->text(), QStringLiteral("012aFe"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("012aF"));
    QTest::keyClick(box, Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(box->text(), QString());
    // A character beyond ASCII is refused as well.
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("中"), Qt::NoModifier);
    QCOMPARE(box->text(), QString());
}

// Ctrl+V types the character 22, which the filter discards, so nothing is pasted.
void WindowInputTest::the_address_field_refuses_paste_and_other_controls() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("ABC");
    if (clipboard->text() != "ABC") QSKIP("no clipboard on this platform");
    EditBox* box = panel->edit(编辑框_目标地址);
    QVERIFY(panel->focus(编辑框_目标地址));
    box->clear();
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_V, QString(QChar(22)), Qt::ControlModifier);
    QCOMPARE(box->text(), QString());
    // The byte fields take control characters, so there a paste goes in unfiltered.
    EditBox* position = panel->edit(编辑框_目标位置);
    QVERIFY(panel->focus(编辑框_目标位置));
    position->clear();
    QTest::sendKeyEvent(QTest::Click, position, Qt::Key_V, QString(QChar(22)), Qt::ControlModifier);
    QCOMPARE(position->text(), QStringLiteral("ABC"));
}

void WindowInputTest::byte_fields_take_digits_only() {
    for (Control c : {编辑框_目标位置, 编辑框_实际位置}) {
        EditBox* box = panel->edit(c);
        QVERIFY(panel->focus(c));
        box->clear();
        QTest::keyClicks(box, "12a34");
        QCOMPARE(box->text(), QStringLiteral("123"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, "x-+. ");
        QCOMPARE(box->text(), QStringLiteral("12"));
    }
}

void WindowInputTest::leaving_the_position_field_normalises_it_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    const QList<QPair<QString, QString>> cases = {
        {"50", "50"}, {"007", "7"}, {"999", "255"}, {"256", "255"}, {"0", "0"},
        {"00", "0"},  {"000", "0"}, {"", "0"},      {"4x", "4"},    {"-5", "0"},
        {"abc", "0"}, {"1e3", "1"}, {"0.5", "0"},   {"255", "255"}, {" 12", "12"},
    };
    for (const auto& [text, after] : cases) {
        QTest::newRow(("\"" + text + "\"").toUtf8()) << text << after;
    }
}

// The field takes the text unfiltered, as a paste would put it there, and the focus leaves it
// by Tab. "0.5" tells the order apart: normalised first it becomes empty and then "0".
void WindowInputTest::leaving_the_position_field_normalises_it() {
    QFETCH(QString, text);
    QFETCH(QString, after);
    EditBox* box = panel->edit(编辑框_目标位置);
    QVERIFY(panel->focus(编辑框_目标位置));
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), panel->widget(按钮_读当前位置));
    QCOMPARE(box->text(), after);
}

void WindowInputTest::the_caret_goes_where_the_selection_began_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selection_start");
    QTest::addColumn<int>("selection_length");
    QTest::addColumn<int>("caret");
    QTest::newRow("selection from 1") << "999" << 1 << 2 << 1;
    QTest::newRow("selection backwards") << "999" << 3 << -2 << 1;
    QTest::newRow("caret at 0") << "007" << 0 << 0 << 0;
    QTest::newRow("caret past the new end") << "12a" << 3 << 0 << 2;
    QTest::newRow("unchanged text keeps its caret") << "123" << 2 << 0 << 2;
}

void WindowInputTest::the_caret_goes_where_the_selection_began() {
    QFETCH(QString, text);
    QFETCH(int, selection_start);
    QFETCH(int, selection_length);
    QFETCH(int, caret);
    EditBox* box = panel->edit(编辑框_目标位置);
    QVERIFY(panel->focus(编辑框_目标位置));
    box->setText(text);
    box->setSelection(selection_start, selection_length);
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(box->cursorPosition(), caret);
}

// The focus leaves the field when the mouse goes down on the button, so the command reads
// the normalised text.
void WindowInputTest::a_click_sends_the_position_as_normalised() {
    EditBox* box = panel->edit(编辑框_目标位置);
    QVERIFY(panel->focus(编辑框_目标位置));
    box->clear();
    QTest::keyClicks(box, "300");
    QCOMPARE(box->text(), QStringLiteral("300"));
    QTest::mouseClick(panel->widget(按钮_开), Qt::LeftButton);
    QCOMPARE(panel->frames().size(), std::size_t{1});
    QCOMPARE(panel->frames().front(), expected_frame(CommandCode::OPEN, 255));
    QCOMPARE(box->text(), QStringLiteral("255"));
    QCOMPARE(QApplication::focusWidget(), panel->widget(按钮_开));
}

// The byte mode empties a zero; only the position field has a handler that writes "0" back.
void WindowInputTest::the_actual_position_field_empties_a_zero() {
    EditBox* box = panel->edit(编辑框_实际位置);
    panel->window.ops().set_text(编辑框_实际位置, "0");
    QVERIFY(panel->focus(编辑框_实际位置));
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(box->text(), QString());
}

}  // namespace motor::panel

QTEST_MAIN(motor::panel::WindowInputTest)
#include "window_input_test.moc"
