#pragma once
// Window layouts are given in twips; this program maps 15 twips to one device-independent pixel.

#include <QRect>
#include <QString>
#include <QWidget>

namespace orvane::platform {

inline constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) {
    return twips / kTwipsPerPixel;
}
constexpr int Twips(int pixels) {
    return pixels * kTwipsPerPixel;
}
inline QRect PxRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

/// Names a control (tests and the screenshot program find it by that name) and places it.
inline void Place(QWidget* control, const QString& name, QRect rect) {
    control->setObjectName(name);
    control->setGeometry(rect);
}
inline void Place(QWidget* control, const char16_t* name, QRect rect) {
    Place(control, QString::fromUtf16(name), rect);
}

} // namespace orvane::platform
