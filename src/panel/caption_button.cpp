#include "caption_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace motor::panel {
namespace {

constexpr int caption_flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextWordWrap;

QRect caption_area(const QPushButton& button, const QStyleOptionButton& option) {
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
}

}  // namespace

bool CaptionButton::caption_wraps() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return fontMetrics().horizontalAdvance(text()) > caption_area(*this, option).width();
}

void CaptionButton::paintEvent(QPaintEvent* event) {
    if (!caption_wraps()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.drawItemText(caption_area(*this, option), caption_flags, option.palette, isEnabled(),
                         caption, QPalette::ButtonText);
}

}  // namespace motor::panel
