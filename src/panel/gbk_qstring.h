#pragma once
// GBK byte texts to and from the QStrings that widgets hold.

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace motor::panel {

QString qstring_from_gbk(std::string_view gbk);
std::string qstring_to_gbk(const QString& text);

// The 8-bit code of a typed character: itself below 128, else the first byte of its GBK form.
std::int32_t typed_char_code(QChar c);

}  // namespace motor::panel
