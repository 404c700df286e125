#pragma once
// Conversions between core's UTF-16 strings and Qt's strings.

#include <QString>
#include <string>
#include <string_view>

namespace orvane::platform {

inline QString Q(std::u16string_view s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}
inline std::u16string U(const QString& s) {
    return s.toStdU16String();
}

} // namespace orvane::platform
