#include "forms/frmBrowser.h"

#include "core/Globals.h"
#include "platform/Qt.h"
#include "platform/Twips.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <unistd.h>

#ifdef ORVANE_HAVE_WEBENGINE
#include <QWebEngineHistory>
#include <QWebEngineView>
#else
#include <QTextBrowser>
#endif

namespace orvane {

namespace {

using platform::Px;
using platform::Twips;

// The page "Search" goes to.
const QString kSearchPage = QStringLiteral("https://www.google.co.jp/");

const QString kConnecting = QStringLiteral("接続中...");

// Design positions in twips.
constexpr int kToolBarHeight = 540;
constexpr int kStripTop = 540;
constexpr int kStripHeight = 675;
constexpr int kLabelLeft = 45, kLabelTop = 60, kLabelWidth = 3075, kLabelHeight = 255;
constexpr int kBoxLeft = 50, kBoxHeight = 315;
constexpr int kBrowserLeft = 50, kBrowserTop = 1215;
constexpr int kMargin = 100;
constexpr int kWidth = 9600, kHeight = 7200; // first size of the client area

constexpr int kTimerMs = 5;
// A request that the engine never turns into a load (a jump inside the same page, a reload of
// nothing) stops counting as busy after this long, so the caption cannot stick on "connecting".
constexpr qint64 kRequestGraceMs = 3000;

// Sizes that would come out negative in a tiny or minimised window are held at 0.
int PxSize(int twips) {
    return Px(std::max(twips, 0));
}

QUrl ToUrl(const QString& address) {
    // Typed addresses may lack the scheme; text that is no address at all still goes to the
    // engine, which answers with its own page.
    QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid())
        url = QUrl(address);
    return url;
}

// Chromium refuses to start its sandbox as root (as in CI); only then is it switched off.
void PrepareEngine() {
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace

void frmBrowser::Open(QWidget* mainWindow) {
    if (s_instance) {
        // Already open: keep its page; a new address counts from the next opening.
        if (s_instance->isMinimized())
            s_instance->showNormal();
        s_instance->raise();
        s_instance->activateWindow();
        return;
    }
    PrepareEngine();
    s_instance = new frmBrowser();
    // No Qt parent (a disabled parent disables its child windows, and the main window is disabled
    // while work runs), so the window goes with the main window instead.
    if (mainWindow)
        QObject::connect(mainWindow, &QObject::destroyed, s_instance.data(),
                         [] { delete s_instance.data(); });
    s_instance->Form_Load();
}

frmBrowser* frmBrowser::Instance() {
    return s_instance.data();
}

frmBrowser::frmBrowser() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("frmBrowser"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    resize(Px(kWidth), Px(kHeight));

    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    struct Button {
        QString key;
        QString hover;
        QStyle::StandardPixmap icon;
    };
    const Button buttons[] = {
        {QStringLiteral("Back"), QStringLiteral("戻る"), QStyle::SP_ArrowBack},
        {QStringLiteral("Forward"), QStringLiteral("進む"), QStyle::SP_ArrowForward},
        {QStringLiteral("Stop"), QStringLiteral("中止"), QStyle::SP_BrowserStop},
        {QStringLiteral("Refresh"), QStringLiteral("更新"), QStyle::SP_BrowserReload},
        {QStringLiteral("Home"), QStringLiteral("ﾎｰﾑ"), QStyle::SP_DirHomeIcon},
        {QStringLiteral("Search"), QStringLiteral("検索"), QStyle::SP_FileDialogContentsView},
    };
    for (const Button& b : buttons) {
        QAction* action = tbToolBar->addAction(style()->standardIcon(b.icon), b.hover);
        action->setObjectName(b.key);
        action->setData(b.key);
        action->setToolTip(b.hover);
        connect(action, &QAction::triggered, this, [this, key = b.key] { tbToolBar_ButtonClick(key); });
    }

    picAddress = new QWidget(this);
    picAddress->setObjectName(QStringLiteral("picAddress"));
    lblAddress = new QLabel(QStringLiteral("ｱﾄﾞﾚｽ(&A):"), picAddress);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setGeometry(platform::PxRect(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight));
    cboAddress = new QComboBox(picAddress);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    // Confirmed addresses are not collected; the list keeps only the opening address.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    // Enter and keypad Enter: whichever way the key reaches the box (typed keys go to the combo box,
    // which hands them on to its line edit directly), the line edit reports it.
    connect(cboAddress->lineEdit(), &QLineEdit::returnPressed, this, [this] { cboAddress_KeyPress(13); });
    lblAddress->setBuddy(cboAddress);
    connect(cboAddress, &QComboBox::activated, this, [this](int) { cboAddress_Click(); });

#ifdef ORVANE_HAVE_WEBENGINE
    brwWebBrowser = new QWebEngineView(this);
    connect(brwWebBrowser, &QWebEngineView::loadStarted, this, [this] {
        m_loading = true;
        m_requested = false;
    });
    connect(brwWebBrowser, &QWebEngineView::loadFinished, this, [this](bool) {
        m_loading = false;
        m_requested = false;
        brwWebBrowser_DownloadComplete();
    });
    // A jump within the same page changes the address without any load.
    connect(brwWebBrowser, &QWebEngineView::urlChanged, this, [this] { m_requested = false; });
#else
    brwWebBrowser = new QTextBrowser(this);
    brwWebBrowser->setOpenLinks(true);
    connect(brwWebBrowser, &QTextBrowser::sourceChanged, this, [this] {
        m_requested = false;
        brwWebBrowser_DownloadComplete();
    });
#endif
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));

    timTimer = new QTimer(this);
    timTimer->setObjectName(QStringLiteral("timTimer"));
    timTimer->setInterval(kTimerMs);
    connect(timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
}

bool frmBrowser::TimerActive() const {
    return timTimer->isActive();
}

void frmBrowser::Form_Load() {
    show();
    tbToolBar->repaint();
    Form_Resize();
    cboAddress->move(Px(kBoxLeft), Px(kLabelTop + kLabelHeight + 15));

    // Read once: later double-clicks only bring the open window forward.
    const QString address = platform::Q(gBrowseAddress);
    if (address.isEmpty())
        return;
    m_startAddress = address;
    cboAddress->addItem(address);
    cboAddress->setEditText(address);
    timTimer->start();
    Navigate(address);
}

void frmBrowser::Form_Resize() {
    const int sw = Twips(width());
    const int sh = Twips(height());
    // The toolbar and the address strip run along the whole top edge.
    tbToolBar->setGeometry(0, 0, width(), Px(kToolBarHeight));
    picAddress->setGeometry(0, Px(kStripTop), width(), Px(kStripHeight));

    cboAddress->resize(PxSize(sw - kMargin), Px(kBoxHeight));
    brwWebBrowser->setGeometry(Px(kBrowserLeft), Px(kBrowserTop), PxSize(sw - kMargin),
                               PxSize(sh - (kStripTop + kStripHeight) - kMargin));
}

void frmBrowser::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmBrowser::tbToolBar_ButtonClick(const QString& key) {
    timTimer->start();
    if (key == u"Back" || key == u"Forward" || key == u"Refresh") {
        StepHistory(key);
    } else if (key == u"Home") {
        if (!m_startAddress.isEmpty())
            Navigate(m_startAddress);
    } else if (key == u"Search") {
        Navigate(kSearchPage);
    } else if (key == u"Stop") {
        timTimer->stop();
        m_requested = false;
#ifdef ORVANE_HAVE_WEBENGINE
        brwWebBrowser->stop();
#endif
        setWindowTitle(LocationName());
    }
}

void frmBrowser::StepHistory(const QString& key) {
#ifdef ORVANE_HAVE_WEBENGINE
    // Without history (or a page) there is nothing to do, and nothing to wait for.
    QWebEngineHistory* history = brwWebBrowser->history();
    if (key == u"Back" && history->canGoBack()) {
        MarkRequested();
        brwWebBrowser->back();
    } else if (key == u"Forward" && history->canGoForward()) {
        MarkRequested();
        brwWebBrowser->forward();
    } else if (key == u"Refresh" && !brwWebBrowser->url().isEmpty()) {
        MarkRequested();
        brwWebBrowser->reload();
    }
#else
    if (key == u"Back")
        brwWebBrowser->backward();
    else if (key == u"Forward")
        brwWebBrowser->forward();
    else
        brwWebBrowser->reload();
#endif
}

void frmBrowser::cboAddress_Click() {
    timTimer->start();
    Navigate(cboAddress->currentText());
}

void frmBrowser::cboAddress_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        cboAddress_Click();
}

void frmBrowser::timTimer_Timer() {
    if (Busy()) {
        setWindowTitle(kConnecting);
        return;
    }
    timTimer->stop();
    setWindowTitle(LocationName());
}

void frmBrowser::brwWebBrowser_DownloadComplete() {
    setWindowTitle(LocationName());
}

void frmBrowser::Navigate(const QString& address) {
    MarkRequested();
#ifdef ORVANE_HAVE_WEBENGINE
    brwWebBrowser->load(ToUrl(address));
#else
    brwWebBrowser->setSource(ToUrl(address));
#endif
}

void frmBrowser::MarkRequested() {
    m_requested = true;
    m_requestClock.start();
}

bool frmBrowser::Busy() const {
    return m_loading || (m_requested && m_requestClock.elapsed() < kRequestGraceMs);
}

QString frmBrowser::LocationName() const {
#ifdef ORVANE_HAVE_WEBENGINE
    return brwWebBrowser->title();
#else
    return brwWebBrowser->documentTitle();
#endif
}

} // namespace orvane
