#include "forms/frmVersion.h"

#include "modules/modOrvane.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"
#include "platform/ShellOpen.h"
#include "platform/Twips.h"

#include <orvane/BuildInfo.h>

#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QRegion>
#include <QStyle>
#include <QWindow>

#include <algorithm>

// The program's resources sit in a static library, which links them only when asked for by name.
static void InitProgramResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(orvane);
        return true;
    }();
    Q_UNUSED(done);
}

namespace orvane {

namespace {

using platform::Place;
using platform::Px;
using platform::PxRect;
using platform::Twips;

constexpr int kClientWidth = 4920, kClientHeight = 2715;

frmVersion::MoveHook& TheMoveHook() {
    static frmVersion::MoveHook hook;
    return hook;
}

QPixmap ProgramIcon(QSize size) {
    InitProgramResources();
    QPixmap icon = QIcon(QStringLiteral(":/orvane/orvane.svg")).pixmap(size);
    // Without the SVG image plugin the drawing cannot be read; the application's icon stands in.
    if (icon.isNull())
        icon = QGuiApplication::windowIcon().pixmap(size);
    return icon;
}

QFont WindowFont(bool bold) {
    QFont font(platform::kDesignFamily);
    font.setPointSize(9);
    font.setBold(bold);
    return font;
}

} // namespace

const QString& frmVersion::HomePage() {
    static const QString address = QStringLiteral("https://orvane.example.org/");
    return address;
}

void frmVersion::Show(QWidget* mainWindow) {
    frmVersion window(mainWindow);
    window.exec();
}

void frmVersion::SetMoveHook(MoveHook hook) {
    TheMoveHook() = std::move(hook);
}

QRect frmVersion::EllipseBounds(int widthTwips, int heightTwips) {
    return QRect(0, 0, widthTwips / platform::kTwipsPerPixel, heightTwips / platform::kTwipsPerPixel);
}

frmVersion::frmVersion(QWidget* mainWindow)
    // No frame: the whole window is the client area, so the ellipse cuts exactly the window.
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("frmVersion"));
    setWindowTitle(QStringLiteral("           　              バージョン情報"));
    setModal(true);
    setFixedSize(Px(kClientWidth), Px(kClientHeight));
    setFont(WindowFont(false));

    QLabel* band = AddLabel("Label5", QString(), 0, 0, 5775, 1215);
    band->setAutoFillBackground(true);
    QPalette white = band->palette();
    white.setColor(QPalette::Window, Qt::white);
    band->setPalette(white);

    QLabel* image = AddLabel("Image1", QString(), 840, 120, 480, 480);
    image->setPixmap(ProgramIcon(image->size()));

    AddLabel("Label1", QStringLiteral("Orvane Ver ") + QString::fromLatin1(build::kVersion), 1440, 360, 1575,
             180, true);
    AddLabel("Label4", QStringLiteral("Maked 2003/07/08"), 2280, 720, 1695, 180, true);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(0, Px(1200), Px(4920), 1);

    AddLabel("Label6", QStringLiteral("最新版、サポート等は、"), 840, 1320);
    lblUrlDovra = AddLabel("lblUrlDovra", HomePage(), 1320, 1560, 2700, 180);
    AddLabel("Label7", QStringLiteral("まで。"), 4200, 1560);
    QLabel* credit = AddLabel("Label3", QStringLiteral("プログラム作成  ："), 1680, 1920);
    Label2 = AddLabel("Label2", QStringLiteral("Dovra"), 3120, 1920, 300, 180);
    // The caption's room ends where the name begins.
    credit->resize(std::min(credit->width(), Label2->x() - credit->x()), credit->height());
    for (QLabel* link : {lblUrlDovra, Label2}) {
        QPalette blue = link->palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        link->setPalette(blue);
        link->installEventFilter(this);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    Place(cmdOK, u"cmdOK", PxRect(1800, 2280, 1335, 375));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmVersion::cmdOK_Click);

    AddCaptionStrip();

    Form_Load();
}

QLabel* frmVersion::AddLabel(const char* name, const QString& text, int left, int top, int width, int height,
                             bool bold) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    if (bold)
        label->setFont(WindowFont(true));
    if (width > 0) {
        label->setGeometry(PxRect(left, top, width, height));
        // Where the system's font is wider than the design's, the text grows its label rather
        // than being cut off.
        label->resize(label->size().expandedTo(label->sizeHint()));
    } else {
        label->move(Px(left), Px(top));
        label->adjustSize();
    }
    // A press on a label belongs to the label, not to the window's surface: it does not drag.
    label->setAttribute(Qt::WA_NoMousePropagation);
    return label;
}

void frmVersion::AddCaptionStrip() {
    // Frameless (the ellipse cuts the whole window), so the window draws its own caption strip
    // across the top, as a framed window's title bar would run there, and the client area below it.
    const int strip = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QList<QWidget*> controls = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls)
        control->move(control->x(), control->y() + strip);
    setFixedSize(width(), height() + strip);

    auto* caption = new QLabel(windowTitle(), this);
    caption->setObjectName(QStringLiteral("caption"));
    caption->setGeometry(0, 0, width(), strip);
    caption->setTextFormat(Qt::PlainText);
    caption->setFont(WindowFont(true));
    caption->setAutoFillBackground(true);
    QPalette colours = caption->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Active, QPalette::HighlightedText));
    caption->setPalette(colours);
    // A press on the strip drags the window, as on a title bar.
}

void frmVersion::Form_Load() {
    // Frameless, so the outer size (caption strip included) is the window's size.
    setMask(QRegion(EllipseBounds(Twips(width()), Twips(height())), QRegion::Ellipse));
}

void frmVersion::mousePressEvent(QMouseEvent* event) {
    Form_MouseDown(event->buttons());
    QDialog::mousePressEvent(event);
}

void frmVersion::Form_MouseDown(Qt::MouseButtons buttons) {
    if (!(buttons & Qt::LeftButton))
        return;
    if (TheMoveHook()) {
        TheMoveHook()(*this);
        return;
    }
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}

bool frmVersion::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = qobject_cast<QLabel*>(watched);
        // The label that took the press receives the release: a left release inside it is a click.
        if (label && mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (label == Label2)
                Label2_Click();
            else if (label == lblUrlDovra)
                lblUrlDovra_Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmVersion::Label2_Click() {
    OpenHomePage();
}

void frmVersion::lblUrlDovra_Click() {
    OpenHomePage();
}

void frmVersion::OpenHomePage() {
    if (!platform::ShellOpen::Open(HomePage()))
        platform::MessageBox::Show(this, QStringLiteral("ﾎｰﾑﾍﾟｰｼﾞを開けませんでした。\r\n") + HomePage(),
                                   QStringLiteral("ﾎｰﾑﾍﾟｰｼﾞ表示失敗"), MessageIcon::Critical);
}

void frmVersion::cmdOK_Click() {
    hide();
    if (m_mainWindow) {
        m_mainWindow->setEnabled(true);
        m_mainWindow->update();
        m_mainWindow->activateWindow();
        m_mainWindow->setFocus();
    }
    done(Accepted);
}

void frmVersion::reject() {
    // Escape and a close request from the window system leave through the same steps as OK.
    cmdOK_Click();
}

} // namespace orvane
