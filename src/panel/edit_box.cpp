#include "edit_box.h"

#include <algorithm>

namespace motor::panel {
namespace {

// QLineEdit's own default: as good as no limit.
constexpr int unlimited = 32767;

}  // namespace

EditBox::EditBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &EditBox::fit_limit_to_text);
}

void EditBox::set_length_limit(int limit) {
    limit_ = limit;
    fit_limit_to_text();
}

void EditBox::write_text(const QString& text) {
    // QLineEdit cuts a text to its maximum length, so make room first.
    if (limit_ > 0 && text.size() > maxLength()) setMaxLength(static_cast<int>(text.size()));
    setText(text);
}

// While the text is longer than the limit, the maximum follows its length down, so the
// operator can shorten it but not lengthen it. QLineEdit re-sets its text whenever the
// maximum changes (the caret then jumps to the end), so it is touched only when it differs
// and the caret is put back.
void EditBox::fit_limit_to_text() {
    const int wanted = limit_ > 0 ? std::max(limit_, static_cast<int>(text().size())) : unlimited;
    if (wanted == maxLength()) return;
    const int caret = cursorPosition();
    setMaxLength(wanted);
    setCursorPosition(caret);
}

}  // namespace motor::panel
