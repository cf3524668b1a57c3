#include "group_frame.h"

#include <QPainter>

namespace motor::panel {
namespace {

constexpr int title_left = 8;
constexpr int title_padding = 2;  // background left on each side of the title

}  // namespace

void GroupFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int edge = title().isEmpty() ? 0 : metrics.height() / 2;
    const QRect frame = rect().adjusted(0, edge, -1, -1);
    // Etched: a shadow line, and a light one just inside it.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    if (title().isEmpty()) return;
    const QRect title_area(title_left, 0, metrics.horizontalAdvance(title()) + 2 * title_padding,
                           metrics.height());
    painter.fillRect(title_area, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(title_area, Qt::AlignCenter, title());
}

}  // namespace motor::panel
