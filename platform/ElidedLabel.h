#pragma once
// A one-line label that shows a text too long for it elided in the middle, so both the start of a
// path and its file name stay visible. text() stays the whole text.

#include <QLabel>

namespace orvane::platform {

class ElidedLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    /// The width the text may take from the label's left edge, when something covers the rest
    /// of the label; negative: the whole label.
    void SetTextWidth(int pixels);
    /// The text as drawn.
    QString DisplayedText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect TextRect() const;

    int textWidth_ = -1;
};

} // namespace orvane::platform
