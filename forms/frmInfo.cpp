#include "forms/frmInfo.h"

#include "core/Globals.h"
#include "platform/Placement.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace orvane {

using platform::Place;
using platform::Px;
using platform::PxRect;

namespace {

// A conversion sets the status line at every key, a thousand times within a few milliseconds, and
// painting each text would cost many times the conversion itself: it is painted at most once in
// this many milliseconds, always with its latest text.
constexpr int kStatusFrameMs = 16;
} // namespace

frmInfo::frmInfo(QWidget* mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblInfo_(new QLabel(this)), lblStatus_(new QLabel(this)),
      cmdCancel_(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this)) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("データ入力中..."));
    setModal(false);
    setFixedSize(Px(4500), Px(1545));

    Place(lblInfo_, u"lblInfo", PxRect(120, 120, 4335, 255));
    Place(lblStatus_, u"lblStatus", PxRect(120, 480, 4335, 495));
    lblStatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblStatus_->setWordWrap(true);
    Place(cmdCancel_, u"cmdCancel", PxRect(1560, 1080, 1335, 375));
    cmdCancel_->setAutoDefault(false);
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    statusFrame_.setSingleShot(true);
    connect(&statusFrame_, &QTimer::timeout, this, [this] { PaintStatusSoon(); });
    setTabOrder(lblInfo_, lblStatus_);
    setTabOrder(lblStatus_, cmdCancel_);

    Form_Load(mainWindow);
}

void frmInfo::Form_Load(QWidget* mainWindow) {
    if (!mainWindow)
        return;
    // Centred on the main window once, when loaded; later showings keep this place.
    platform::CentreOver(*this, *mainWindow);
}

void frmInfo::SetPhaseText(const QString& text) {
    lblInfo_->setText(text);
}
void frmInfo::SetStatusText(const QString& text) {
    const bool paintedLately = statusPainted_.isValid() && !statusPainted_.hasExpired(kStatusFrameMs);
    if (!paintedLately || text.isEmpty() || !lblStatus_->isVisible()) {
        lblStatus_->setText(text);
        PaintStatusSoon();
        return;
    }
    // Too soon after the last painting: the text changes now, the picture with the next frame.
    lblStatus_->setUpdatesEnabled(false);
    lblStatus_->setText(text);
    if (!statusFrame_.isActive())
        statusFrame_.start(static_cast<int>(std::max<qint64>(kStatusFrameMs - statusPainted_.elapsed(), 0)));
}

// Lets the status line repaint (with the next pass of the event loop) and starts a new frame.
void frmInfo::PaintStatusSoon() {
    statusFrame_.stop();
    if (!lblStatus_->updatesEnabled())
        lblStatus_->setUpdatesEnabled(true); // schedules the repaint held back
    statusPainted_.restart();
}
void frmInfo::SetStatusVisible(bool visible) {
    lblStatus_->setVisible(visible);
}
void frmInfo::SetCancelVisible(bool visible) {
    cmdCancel_->setVisible(visible);
}
void frmInfo::Repaint() {
    if (isVisible()) {
        PaintStatusSoon();
        repaint();
    }
}

void frmInfo::cmdCancel_Click() {
    gCancelRequested = true;
}

void frmInfo::keyPressEvent(QKeyEvent* event) {
    // Escape would hide the dialog; the window belongs to the running conversion.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmInfo::closeEvent(QCloseEvent* event) {
    event->ignore();
}

} // namespace orvane
