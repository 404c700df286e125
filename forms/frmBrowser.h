#pragma once
// The preview browser: a small modeless web window that shows the page behind a list entry.
// One instance at most; the web engine is created only when the window is first opened.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QTimer;
class QToolBar;
#ifdef ORVANE_HAVE_WEBENGINE
class QWebEngineView;
#else
class QTextBrowser;
#endif

namespace orvane {

class frmBrowser : public QWidget {
    Q_OBJECT
public:
#ifdef ORVANE_HAVE_WEBENGINE
    using BrowserWidget = QWebEngineView;
#else
    using BrowserWidget = QTextBrowser;
#endif

    /// Application set-up the web engine needs; call in main() before the QApplication exists.
    /// Inline, so the program can call it without loading the browser's library.
    static void PrepareApplication() {
        // The engine shares its GL contexts with the window system.
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    }

    /// Opens the window on gBrowseAddress, or only brings an open window to the front.
    static void Open(QWidget* mainWindow);
    /// The open window, or null when it is closed.
    static frmBrowser* Instance();

    bool TimerActive() const;
    BrowserWidget* Browser() const {
        return brwWebBrowser;
    }

    // Handlers, public so the window can be driven without a pointer device.
    void tbToolBar_ButtonClick(const QString& key);
    void cboAddress_Click();
    void cboAddress_KeyPress(int keyAscii);
    void timTimer_Timer();
    void brwWebBrowser_DownloadComplete();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    frmBrowser();
    void Form_Load();
    void Form_Resize();

    // The few operations the window needs of the engine.
    void Navigate(const QString& address);
    bool Busy() const;
    QString LocationName() const;
    void MarkRequested();
    void StepHistory(const QString& key); // Back, Forward or Refresh

    QToolBar* tbToolBar = nullptr;
    QWidget* picAddress = nullptr;
    QLabel* lblAddress = nullptr;
    QComboBox* cboAddress = nullptr;
    BrowserWidget* brwWebBrowser = nullptr;
    QTimer* timTimer = nullptr;

    QString m_startAddress; // what "Home" returns to
    bool m_loading = false; // between the engine's load start and load end
    // The engine reports a load start only some time after a request; a request counts as busy
    // from the moment it is made, so the caption never flashes the old title in between.
    bool m_requested = false;
    QElapsedTimer m_requestClock;

    static inline QPointer<frmBrowser> s_instance;
};

} // namespace orvane
