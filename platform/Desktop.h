#pragma once
// What the program sets up on the desktop before its first window: the face its layouts were made
// for, and Qt's own texts (standard dialogs and buttons) in Japanese.

#include <QString>
#include <QStringList>

class QGroupBox;

namespace orvane::platform {

/// The face every layout of the windows is measured for.
inline const QString kDesignFamily = QStringLiteral("ＭＳ Ｐゴシック");
/// A face made to the same character widths, for systems without the design face (Debian's
/// fonts-ipafont-gothic), under its English and its Japanese family name.
inline const QStringList kStandInFamilies = {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")};

/// Where the design face is not installed, lets the stand-in draw it; then makes the design face
/// at 9 points the application's font, as the windows were laid out with, and draws captions with
/// their half-width voiced marks joined to their kana (below). Returns the family that draws the
/// face (the design face, the stand-in, or Qt's fallback when neither is installed).
QString PrepareFonts();

/// The text as captions draw it: each half-width voiced or semi-voiced mark (ﾞ ﾟ) that follows a
/// half-width kana becomes the combining mark, which the font sets on the kana itself. Drawn as
/// separate half-width cells, the marks would leave a gap before the next character ("ｵﾌﾟ ｼｮﾝ").
QString JoinVoicedMarks(const QString& text);

/// Draws the frame as the layouts expect it: its title on the frame line, which runs half a line
/// below the frame's top edge, so controls placed inside stay clear of the line.
void ApplyFrameLook(QGroupBox& frame);

/// Loads Qt's own Japanese translations into the application (the QApplication must exist).
/// False when they are not installed; Qt's texts then stay English.
bool LoadQtTranslations();

} // namespace orvane::platform
