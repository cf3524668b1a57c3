#include "control_font.h"

#include <QApplication>
#include <QStringList>

namespace motor::panel {

QFont control_font() {
    QFont font = QApplication::font();
    // Faces not installed are skipped; the system's own face is the last resort.
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Microsoft YaHei UI"), QStringLiteral("SimSun"),
                      font.family()});
    return font;
}

}  // namespace motor::panel
