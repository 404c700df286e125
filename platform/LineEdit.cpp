#include "platform/LineEdit.h"

#include <QKeyEvent>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace orvane::platform {

// Runs on every change, before the box takes it: changes made by the user that would overrun the
// limit keep only the part of the inserted text that fits.
class TypingLimitValidator final : public QValidator {
public:
    explicit TypingLimitValidator(LineEdit* box) : QValidator(box), box_(box) {}

    State validate(QString& input, int& pos) const override {
        // A text the program set longer than the limit may be edited up to its own length.
        const qsizetype limit = std::max<qsizetype>(box_->typingLimit_, box_->setLength_);
        if (!box_->userEditing_ || input.size() <= limit)
            return Acceptable;
        const QString& before = box_->before_;
        // The change replaced before[prefix, before.size() - suffix) by input[prefix, input.size() - suffix).
        qsizetype prefix = 0;
        while (prefix < before.size() && prefix < input.size() && before[prefix] == input[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < before.size() - prefix && suffix < input.size() - prefix &&
               before[before.size() - 1 - suffix] == input[input.size() - 1 - suffix])
            ++suffix;
        const qsizetype inserted = input.size() - prefix - suffix;
        const qsizetype room = std::max<qsizetype>(0, limit - (prefix + suffix));
        if (inserted <= room)
            return Acceptable;
        input = input.left(prefix + room) + input.right(suffix);
        pos = static_cast<int>(prefix + room);
        return Acceptable;
    }

private:
    LineEdit* box_;
};

LineEdit::LineEdit(QWidget* parent) : QLineEdit(parent) {
    // The box's own limit would cut text set by the program; the validator limits typing instead.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new TypingLimitValidator(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        before_ = text;
        if (!userEditing_)
            setLength_ = text.size();
    });
}

void LineEdit::SetTypingLimit(int maxChars) {
    typingLimit_ = maxChars;
}

bool LineEdit::event(QEvent* event) {
    bool user = false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Undo and redo bring back text the box held before; they are not typing.
        const auto* key = static_cast<QKeyEvent*>(event);
        user = !key->matches(QKeySequence::Undo) && !key->matches(QKeySequence::Redo);
        break;
    }
    case QEvent::InputMethod:
    case QEvent::ContextMenu: // its "paste"
    case QEvent::Drop:
    case QEvent::MouseButtonRelease: // the middle button pastes the selection
        user = true;
        break;
    default:
        break;
    }
    if (!user || userEditing_)
        return QLineEdit::event(event);
    userEditing_ = true;
    const bool result = QLineEdit::event(event);
    userEditing_ = false;
    return result;
}

} // namespace orvane::platform
