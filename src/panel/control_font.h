#pragma once
// The font of the window's controls: the system's default size, drawn preferably in a face
// made for Chinese. The captions are Chinese with a few Latin letters; in a Latin face with
// Chinese borrowed from elsewhere the mixed captions come out wider than the controls were
// laid out for ("通读所取得的地址=" would lose its "=").

#include <QFont>

namespace motor::panel {

QFont control_font();

}  // namespace motor::panel
