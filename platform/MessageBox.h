#pragma once
// Modal message boxes with an OK button only. Tests install a hook that receives each message
// instead, so no test ever waits on a modal window.

#include "core/MessageIcon.h"

#include <QString>
#include <functional>

class QWidget;

namespace orvane::platform {

struct ShownMessage {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
};

/// The window a modal box may be owned by: the window of `parent` when it is enabled, else none
/// (Qt disables child windows with their parent, and the main window is disabled while work runs).
QWidget* UsableOwner(QWidget* parent);

class MessageBox {
public:
    static void Show(QWidget* parent, const QString& text, const QString& title, MessageIcon icon);

    using Hook = std::function<void(const ShownMessage&)>;
    /// While a hook is set, Show() calls it and shows nothing. An empty hook restores the real box.
    static void SetTestHook(Hook hook);

    /// The caption of messages that name the program.
    static QString AppTitle();
};

} // namespace orvane::platform
