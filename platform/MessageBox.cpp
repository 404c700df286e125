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

void MessageBox::Show(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) {
    if (const auto& hook = TestHook()) {
        hook(ShownMessage{text, title, icon});
        return;
    }
    QMessageBox box(ToQt(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

void MessageBox::SetTestHook(Hook hook) {
    TestHook() = std::move(hook);
}

QString MessageBox::AppTitle() {
    return QStringLiteral("Orvane");
}

} // namespace orvane::platform
