#include "gbk_qstring.h"

#include "gbk_text.h"

namespace motor::panel {

QString qstring_from_gbk(std::string_view gbk) {
    const std::u16string text = gbk_to_utf16(gbk);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string qstring_to_gbk(const QString& text) {
    return utf16_to_gbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            static_cast<std::size_t>(text.size())));
}

std::int32_t typed_char_code(QChar c) {
    if (c.unicode() < 0x80) return c.unicode();
    const std::string gbk = qstring_to_gbk(QString(c));
    // A character GBK cannot hold converts to '?', which no filter takes either.
    return gbk.empty() ? 0 : static_cast<unsigned char>(gbk.front());
}

}  // namespace motor::panel
