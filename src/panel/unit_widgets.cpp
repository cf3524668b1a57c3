#include "unit_widgets.h"

#include <QLabel>
#include <QTimer>

#include "caption_button.h"
#include "edit_box.h"
#include "group_frame.h"
#include "unit_palette.h"

namespace motor::panel {
namespace {

QString caption_of(const Unit& unit) {
    return QString::fromUtf8(unit.caption);
}

Qt::Alignment alignment_of(const Unit& unit) {
    return (unit.align == Align::left ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter;
}

void configure_widget(QWidget& widget, const Unit& unit) {
    widget.setGeometry(unit.geometry.left, unit.geometry.top, unit.geometry.width,
                       unit.geometry.height);
    widget.setEnabled(!unit.flags.disabled);
    widget.setFocusPolicy(unit.flags.tab_stop ? Qt::StrongFocus : Qt::NoFocus);
    widget.setPalette(unit_palette(unit));
    if (unit.font_pixel_height > 0) {
        // A height of its own; the face stays the one the system picks.
        QFont font = widget.font();
        font.setPixelSize(unit.font_pixel_height);
        font.setWeight(QFont::Normal);
        font.setItalic(false);
        font.setUnderline(false);
        font.setStrikeOut(false);
        widget.setFont(font);
    }
    widget.hide();  // shown by the building step that shows the visible controls
}

QWidget* create_button(const Unit& unit, QWidget& client) {
    auto* button = new CaptionButton(caption_of(unit), &client);
    button->setAutoDefault(false);  // Enter clicks nothing
    button->setDefault(false);
    return button;
}

QWidget* create_label(const Unit& unit, QWidget& client) {
    auto* label = new QLabel(&client);
    label->setTextFormat(Qt::PlainText);  // "&" and "<" drawn as they are
    label->setWordWrap(false);
    label->setAlignment(alignment_of(unit));
    label->setAutoFillBackground(true);
    label->setText(caption_of(unit));
    return label;
}

QWidget* create_edit_box(const Unit& unit, QWidget& client) {
    auto* box = new EditBox(&client);
    box->set_length_limit(unit.max_length);
    box->setAlignment(alignment_of(unit));
    box->setReadOnly(unit.input_mode == InputMode::read_only);
    box->write_text(caption_of(unit));
    // Typed characters are filtered one by one; an input method would hand over whole
    // strings past the filter.
    if (unit.input_mode == InputMode::byte || has_event(unit.events, Event::char_input)) {
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    return box;
}

QWidget* create_group_box(const Unit& unit, QWidget& client) {
    auto* box = new GroupFrame(caption_of(unit), &client);
    box->setAlignment(Qt::AlignLeft);
    box->setAutoFillBackground(true);
    return box;
}

QWidget* create_widget(const Unit& unit, QWidget& client) {
    switch (unit.kind) {
        case UnitKind::button:
            return create_button(unit, client);
        case UnitKind::label:
            return create_label(unit, client);
        case UnitKind::edit_box:
            return create_edit_box(unit, client);
        case UnitKind::group_box:
            return create_group_box(unit, client);
        default:
            return nullptr;
    }
}

QTimer* create_timer(const Unit& unit, QWidget& client) {
    auto* timer = new QTimer(&client);
    timer->setTimerType(Qt::PreciseTimer);
    if (unit.period_ms > 0) timer->start(unit.period_ms);
    return timer;
}

}  // namespace

QObject* create_unit_object(const Unit& unit, QWidget& client) {
    QObject* object = nullptr;
    if (unit.kind == UnitKind::timer) {
        object = create_timer(unit, client);
    } else if (QWidget* widget = create_widget(unit, client)) {
        configure_widget(*widget, unit);
        object = widget;
    }
    if (object && unit.name) object->setObjectName(QString::fromUtf8(control_name(*unit.name)));
    return object;
}

}  // namespace motor::panel
