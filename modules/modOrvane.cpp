#include "modules/modOrvane.h"

#include "core/FileNameRules.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"
#include "platform/Qt.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <optional>

namespace orvane {

using platform::Q;
using platform::U;

void ShowMessageText(QWidget* parent, const MessageText& message) {
    platform::MessageBox::Show(parent, Q(message.text), Q(message.title), message.icon);
}

namespace {

class KeystrokeFilter final : public QObject {
public:
    KeystrokeFilter(QLineEdit* box, NameBoxKind kind) : QObject(box), box_(box), kind_(kind) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != box_)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (!Refused(text))
                return false;
            Refuse();
            return true;
        }
        if (event->type() == QEvent::InputMethod) {
            auto* im = static_cast<QInputMethodEvent*>(event);
            const QString commit = im->commitString();
            if (!Refused(commit))
                return false;
            QString kept;
            for (const QChar c : commit) {
                if (!IsRefusedKeystroke(c.unicode()))
                    kept.append(c);
            }
            im->setCommitString(kept, im->replacementStart(), im->replacementLength());
            // The box takes the filtered text first; the message comes after, as for a keystroke.
            box_->event(im);
            Refuse();
            return true;
        }
        return false;
    }

private:
    static bool Refused(const QString& text) {
        for (const QChar c : text) {
            if (IsRefusedKeystroke(c.unicode()))
                return true;
        }
        return false;
    }

    void Refuse() {
        ShowMessageText(box_->window(), kind_ == NameBoxKind::FileName ? FileNameRefusalMessage()
                                                                       : DirectoryNameRefusalMessage());
    }

    QLineEdit* box_;
    NameBoxKind kind_;
};

} // namespace

void InstallKeystrokeFilter(QLineEdit* box, NameBoxKind kind) {
    box->installEventFilter(new KeystrokeFilter(box, kind));
}

namespace {

constexpr int kMinStretch = 85;
constexpr int kStretchStep = 5;
constexpr qreal kMinPointSize = 7.5;
// Line distance of fitted text, in font sizes: close to the system font's own, and still clear of
// the next line's glyphs.
constexpr qreal kFittedLinePitch = 1.2;
const char* const kFitterName = "captionFitter";

struct WrappedFit {
    QFont font;
    qreal pitch = 0;
    int lines = 0;
};

// Plain-text line breaks as the layout takes them, voiced marks joined as captions draw them.
QString LayoutText(const QString& text) {
    QString out = platform::JoinVoicedMarks(text);
    out.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    out.replace(u'\n', QChar::LineSeparator);
    out.replace(u'\r', QChar::LineSeparator);
    return out;
}

// Lays the text out in lines `pitch` apart from `top`; returns the number of lines.
int LayOut(QTextLayout& layout, const QLabel* label, qreal pitch, qreal top) {
    QTextOption option(label->alignment() & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->contentsRect().width());
        line.setPosition(QPointF(0, top + lines * pitch));
        ++lines;
    }
    layout.endLayout();
    return lines;
}

WrappedFit Measure(const QLabel* label, const QFont& font) {
    const qreal em = font.pointSizeF() * label->logicalDpiY() / 72.0;
    WrappedFit fit{font, std::min(QFontMetricsF(font).lineSpacing(), kFittedLinePitch * em), 0};
    QTextLayout layout(LayoutText(label->text()), font, label);
    fit.lines = LayOut(layout, label, fit.pitch, 0);
    return fit;
}

// How a word-wrapped label draws its text; nullopt: as the label itself does, since it fits.
std::optional<WrappedFit> ChooseWrappedFit(const QLabel* label) {
    const int room = label->contentsRect().height();
    if (label->text().isEmpty() || label->heightForWidth(label->width()) <= label->height())
        return std::nullopt;
    QFont font = label->font();
    const qreal designed = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    WrappedFit fit;
    // Condensing keeps the glyphs' height, so it comes before a smaller size.
    for (qreal size = designed; size >= kMinPointSize; size -= 0.5) {
        for (int stretch = 100; stretch >= kMinStretch; stretch -= kStretchStep) {
            font.setPointSizeF(size);
            font.setStretch(stretch);
            fit = Measure(label, font);
            if (fit.lines * fit.pitch <= room + 1)
                return fit;
        }
    }
    return fit; // the smallest: as much of it as the box holds
}

class WrappedCaptionFitter final : public QObject {
public:
    explicit WrappedCaptionFitter(QLabel* label) : QObject(label), label_(label) {
        setObjectName(QString::fromLatin1(kFitterName));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != label_ || event->type() != QEvent::Paint)
            return false;
        const std::optional<WrappedFit> fit = ChooseWrappedFit(label_);
        if (!fit)
            return false;
        const QRect box = label_->contentsRect();
        const qreal used = fit->lines * fit->pitch;
        qreal top = box.top();
        if (label_->alignment() & Qt::AlignBottom)
            top = box.bottom() + 1 - used;
        else if (label_->alignment() & Qt::AlignVCenter)
            top = box.top() + (box.height() - used) / 2;
        // The closer lines share out the font's spare room above and below them.
        top -= (QFontMetricsF(fit->font).height() - fit->pitch) / 2;
        QTextLayout layout(LayoutText(label_->text()), fit->font, label_);
        LayOut(layout, label_, fit->pitch, top);
        QPainter painter(label_);
        painter.setClipRect(box);
        painter.setPen(label_->palette().color(label_->foregroundRole()));
        layout.draw(&painter, QPointF(box.left(), 0));
        return true;
    }

private:
    QLabel* label_;
};

bool FitsWidth(const QWidget* control) {
    return control->sizeHint().width() <= control->width();
}

} // namespace

void FitCaption(QWidget* control) {
    if (FitsWidth(control))
        return;
    QFont font = control->font();
    for (int stretch = 100 - kStretchStep; stretch >= kMinStretch; stretch -= kStretchStep) {
        font.setStretch(stretch);
        control->setFont(font);
        if (FitsWidth(control))
            return;
    }
}

void FitWrappedCaption(QLabel* label) {
    if (label->findChild<QObject*>(QString::fromLatin1(kFitterName), Qt::FindDirectChildrenOnly))
        return;
    label->installEventFilter(new WrappedCaptionFitter(label));
}

bool CaptionFits(const QLabel* label) {
    if (!label->wordWrap())
        return FitsWidth(label);
    if (label->heightForWidth(label->width()) <= label->height())
        return true;
    if (!label->findChild<QObject*>(QString::fromLatin1(kFitterName), Qt::FindDirectChildrenOnly))
        return false;
    const std::optional<WrappedFit> fit = ChooseWrappedFit(label);
    return !fit || fit->lines * fit->pitch <= label->contentsRect().height() + 1;
}

} // namespace orvane
