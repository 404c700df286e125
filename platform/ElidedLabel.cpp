#include "platform/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

namespace orvane::platform {

void ElidedLabel::SetTextWidth(int pixels) {
    if (pixels == textWidth_)
        return;
    textWidth_ = pixels;
    update();
}

QRect ElidedLabel::TextRect() const {
    QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (textWidth_ >= 0)
        r.setRight(std::min(r.right(), textWidth_ - 1 - margin()));
    return r;
}

QString ElidedLabel::DisplayedText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, std::max(TextRect().width(), 0));
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, TextRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), DisplayedText(), foregroundRole());
}

} // namespace orvane::platform
