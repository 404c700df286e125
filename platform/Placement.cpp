#include "platform/Placement.h"

#include <QRect>
#include <QSize>
#include <QWidget>

namespace orvane::platform {

namespace {
QSize FrameExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.size();
}

// Puts the window's outer frame at `topLeft`. move() does that for a shown window and for one whose
// native window is not made yet. A hidden window that has been shown before has lost its frame (the
// window manager takes it off when it hides the window) and move() would put its inner area there:
// the inner area goes where `reference`'s frame would put it.
void MoveFrame(QWidget& window, QPoint topLeft, const QWidget& reference) {
    if (!window.isVisible() && window.testAttribute(Qt::WA_WState_Created) && FrameExtra(window).isNull())
        topLeft += reference.geometry().topLeft() - reference.frameGeometry().topLeft();
    window.move(topLeft);
}
} // namespace

QSize OuterSize(const QWidget& window, const QWidget& reference) {
    const QSize own = FrameExtra(window);
    if (!own.isNull())
        return window.frameGeometry().size();
    return window.size() + FrameExtra(reference);
}

void CentreOver(QWidget& window, const QWidget& mainWindow) {
    const QRect main = mainWindow.frameGeometry();
    const QSize outer = OuterSize(window, mainWindow);
    // move() places a window's frame, so these are outer coordinates throughout.
    MoveFrame(window,
              QPoint(main.left() - (outer.width() - main.width()) / 2,
                     main.top() - (outer.height() - main.height()) / 2),
              mainWindow);
}

void PlaceAtTopLeft(QWidget& window, const QWidget& mainWindow) {
    MoveFrame(window, mainWindow.frameGeometry().topLeft(), mainWindow);
}

} // namespace orvane::platform
