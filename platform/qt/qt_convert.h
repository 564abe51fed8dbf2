#pragma once
// The program's texts and colours as Qt takes them, and back.

#include <QColor>
#include <QString>
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
inline std::string toLocal(const QString& s) { return s.toLocal8Bit().toStdString(); }

// Opaque, as every colour of the program is.
inline QRgb toQRgb(Color c) { return 0xFF000000u | toXrgb(c); }
inline Color fromQRgb(QRgb c) { return fromXrgb(c); }
inline QColor toQColor(Color c) { return QColor::fromRgb(toQRgb(c)); }
inline Color fromQColor(const QColor& c) { return fromQRgb(c.rgb()); }

}  // namespace corvane
