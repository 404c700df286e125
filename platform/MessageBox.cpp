#include "platform/MessageBox.h"

#include <QMessageBox>

namespace orvane::platform {

namespace {
MessageBox::Hook& TestHook() {
    static MessageBox::Hook hook;
    return hook;
}

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

QWidget* UsableOwner(QWidget* parent) {
    if (!parent)
        return nullptr;
    QWidget* window = parent->window();
    return window->isEnabled() ? window : nullptr;
}

void MessageBox::Show(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) {
    if (const auto& hook = TestHook()) {
        hook(ShownMessage{text, title, icon});
        return;
    }
    // A disabled owner would disable its child box too (the main window is disabled while work
    // runs), so such a box stands alone, application-modal, over the owner's window.
    QWidget* owner = UsableOwner(parent);
    // Texts carry paths, URLs and names from pages: shown as written, never as markup. The label
    // breaks lines at LF, so the CR of each CR LF is left out of what is drawn.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(ToQt(icon), title, shown, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void MessageBox::SetTestHook(Hook hook) {
    TestHook() = std::move(hook);
}

QString MessageBox::AppTitle() {
    return QStringLiteral("Orvane");
}

} // namespace orvane::platform
