#pragma once
// A one-line edit box whose length limit applies to what the user types or pastes only. QLineEdit's
// own limit also cuts text the program sets, so a loaded name longer than the limit would be cut
// and written back cut; here text set by the program always stays whole.

#include <QLineEdit>

namespace orvane::platform {

class LineEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit LineEdit(QWidget* parent = nullptr);

    /// Typing and pasting may not make the text longer than `maxChars` characters, or than the
    /// text the program last set when that was longer: an insertion is cut to fit, as QLineEdit
    /// cuts it.
    void SetTypingLimit(int maxChars);

protected:
    bool event(QEvent* event) override;

private:
    friend class TypingLimitValidator;
    int typingLimit_ = 32767;
    bool userEditing_ = false;
    QString before_;          // the text before the change being validated
    qsizetype setLength_ = 0; // the length of the text the program last set
};

} // namespace orvane::platform
