#include "forms/frmOpenURL.h"

#include "core/Globals.h"
#include "platform/MessageBox.h"
#include "platform/Placement.h"
#include "platform/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

namespace orvane {

using platform::Place;
using platform::Px;
using platform::PxRect;

frmOpenURL::frmOpenURL(QWidget* mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), mainWindow_(mainWindow),
      Label1_(new QLabel(QStringLiteral("ﾀｰｹﾞｯﾄURLを入力 :"), this)), txtOpenURL_(new QLineEdit(this)),
      comOk_(new QPushButton(QStringLiteral("OK"), this)),
      ComCancel_(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this)) {
    setObjectName(QStringLiteral("frmOpenURL"));
    setWindowTitle(QStringLiteral("ｲﾝﾀｰﾈｯﾄからﾌｧｲﾙを開く"));
    setFixedSize(Px(5940), Px(1155));

    Place(Label1_, u"Label1", PxRect(120, 120, 3975, 255));
    Place(txtOpenURL_, u"txtOpenURL", PxRect(120, 360, 5775, 270));
    txtOpenURL_->installEventFilter(this);
    Place(comOk_, u"comOk", PxRect(3360, 720, 1215, 375));
    Place(ComCancel_, u"ComCancel", PxRect(4680, 720, 1215, 375));
    connect(comOk_, &QPushButton::clicked, this, [this] { comOk_Click(); });
    connect(ComCancel_, &QPushButton::clicked, this, [this] { ComCancel_Click(); });

    setTabOrder(txtOpenURL_, comOk_);
    setTabOrder(comOk_, ComCancel_);

    Form_Load();
}

void frmOpenURL::Form_Load() {
    txtOpenURL_->setText(QStringLiteral("http://"));
    txtOpenURL_->setFocus();
    if (!mainWindow_)
        return;
    // Centred on the main window when loaded; an opening after OK keeps this place.
    platform::CentreOver(*this, *mainWindow_);
}

QString frmOpenURL::Url() const {
    return txtOpenURL_->text();
}

void frmOpenURL::comOk_Click() {
    if (txtOpenURL_->text().isEmpty()) {
        platform::MessageBox::Show(this, QStringLiteral("URLを入力して下さい。"),
                                   QStringLiteral("ﾌｧｲﾙｵｰﾌﾟﾝ失敗"), MessageIcon::Exclamation);
        return;
    }
    EnableMainWindow();
    done(QDialog::Accepted); // hidden, still loaded: the next opening shows this address
}

void frmOpenURL::ComCancel_Click() {
    gCancelRequested = true;
    EnableMainWindow();
    done(QDialog::Rejected);
    if (Loaded() == this)
        Unload();
}

bool frmOpenURL::txtOpenURL_KeyPress(int keyAscii) {
    switch (keyAscii) {
    case 13:
        comOk_Click();
        return true;
    case 27:
        ComCancel_Click();
        return true;
    default:
        return false;
    }
}

void frmOpenURL::reject() {
    ComCancel_Click();
}

bool frmOpenURL::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtOpenURL_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return QDialog::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return txtOpenURL_KeyPress(13);
        case Qt::Key_Escape:
            return txtOpenURL_KeyPress(27);
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOpenURL::showEvent(QShowEvent* event) {
    // Kept above the main window by the window manager although it is no Qt child of it.
    if (mainWindow_ && mainWindow_->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(mainWindow_->windowHandle());
    QDialog::showEvent(event);
}

void frmOpenURL::EnableMainWindow() {
    if (mainWindow_)
        mainWindow_->setEnabled(true);
}

} // namespace orvane
