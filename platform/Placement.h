#pragma once
// Placing windows over one another by their outer frames (title bar and border included), as the
// layouts give it.

class QSize;
class QWidget;

namespace orvane::platform {

/// The window's outer size: its frame once the window manager has framed it, else its size plus
/// the frame of `reference`, a framed window of the same kind (the frame of a window not yet shown
/// is not known).
QSize OuterSize(const QWidget& window, const QWidget& reference);

/// Centres `window` over `mainWindow`, outer frame on outer frame: top = main top − (own height −
/// main height) / 2, and the same across.
void CentreOver(QWidget& window, const QWidget& mainWindow);

/// Moves `window`'s outer frame to `mainWindow`'s top-left corner.
void PlaceAtTopLeft(QWidget& window, const QWidget& mainWindow);

} // namespace orvane::platform
