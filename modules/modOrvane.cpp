#include "modules/modOrvane.h"

#include "core/FileNameRules.h"
#include "core/Globals.h"
#include "core/Profile.h"
#include "forms/frmFileName.h"
#include "forms/frmSave.h"
#include "platform/MessageBox.h"
#include "platform/Qt.h"
#include "platform/SystemCodec.h"

#include <QEvent>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <filesystem>

namespace orvane {

using platform::Q;
using platform::U;

std::u16string ReadIniValue(const std::u16string& section, const std::u16string& key,
                            const std::u16string& path) {
    const auto& codec = platform::SystemCodec::Instance();
    const QByteArray file = QFile::encodeName(Q(path));
    const auto value = ProfileReadFileValue(std::filesystem::path(file.toStdString()),
                                            codec.EncodeSystem(section), codec.EncodeSystem(key));
    return value ? codec.DecodeSystem(*value) : std::u16string();
}

bool CheckFileName(const std::u16string& name) {
    ConvertedName result = ConvertForbidden(name);
    gAfterFileName = result.converted;
    if (result.changed) {
        QWidget* mainWindow = frmSave::Loaded() ? frmSave::Loaded()->MainWindow() : nullptr;
        frmFileName::Load(mainWindow).Prepare(Q(name), Q(result.converted));
    }
    return result.changed;
}

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

} // namespace orvane
