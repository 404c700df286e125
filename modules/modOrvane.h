#pragma once
// Shared procedures of the windows: showing a message core describes, the keystroke filter of the
// name boxes, and fitting captions into the boxes the layouts give them. Below the windows: nothing
// here knows a form.

#include <string>

#include "core/MessageText.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace orvane {

/// Which message the keystroke filter shows.
enum class NameBoxKind { FileName, DirectoryName };

/// Keeps the characters that names may not hold out of `box`: a typed one is discarded with the
/// refusal message; input-method text loses them the same way. Pasted text is not filtered here.
void InstallKeystrokeFilter(QLineEdit* box, NameBoxKind kind);

/// Shows a message that core describes, as a modal box over `parent`.
void ShowMessageText(QWidget* parent, const MessageText& message);

// The layouts were made for the narrow, short-lined Japanese system font; other systems' CJK fonts
// are wider and have taller lines. Captions keep their designed boxes and fit into them instead.

/// A single-line caption (a label or an option button) wider than its box is drawn condensed, down
/// to 85 % of its width. Call after the caption and the box are set.
void FitCaption(QWidget* control);

/// A word-wrapped label whose text does not fit its box draws its lines closer together and, where
/// that is not enough, condensed and then smaller (down to 7.5 points). Its text stays as set, and
/// whatever it is set to later is fitted the same way.
void FitWrappedCaption(QLabel* label);

/// Whether the label's text, as it is drawn now, fits its box.
bool CaptionFits(const QLabel* label);

} // namespace orvane
