#pragma once
// The program's texts and colours as Qt takes them, and back.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/graphics.h"

namespace corvane {

// The program's own texts are single-byte, as the Windows program's are.
inline QString latin1(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// What the user types and what the file system holds, file names above all, is in the system's own
// encoding.
inline QString fromLocal(std::string_view s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}
// Built here rather than by QByteArray::toStdString, whose copy lives in the C++ library's string code:
// the one call at start would map a block of that library the program otherwise never touches.
inline std::string toLocal(const QString& s) {
    const QByteArray bytes = s.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Opaque, as every colour of the program is.
inline QRgb toQRgb(Color c) { return 0xFF000000u | toXrgb(c); }
inline Color fromQRgb(QRgb c) { return fromXrgb(c); }
inline QColor toQColor(Color c) { return QColor::fromRgb(toQRgb(c)); }
inline Color fromQColor(const QColor& c) { return fromQRgb(c.rgb()); }

}  // namespace corvane
