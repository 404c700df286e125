#include "support/GuiTest.h"

#include "core/Globals.h"
#include "forms/BrowserLibrary.h"
#include "forms/frmMain.h"
#include "platform/FileDialog.h"
#include "platform/ListView.h"
#include "platform/ShellOpen.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QTest>

namespace orvane::test {

namespace {

class ModalGuard final : public QObject {
public:
    static ModalGuard& Instance() {
        static auto* guard = [] {
            auto* g = new ModalGuard(qApp);
            qApp->installEventFilter(g);
            return g;
        }();
        return *guard;
    }

    QStringList expected;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow() || !window->isModal() || IsExpected(window))
            return false;
        QTest::qFail(qPrintable(QStringLiteral("Unexpected modal window: ") + Describe(window)), __FILE__,
                     __LINE__);
        // Closed from its own event loop, which has not started yet while it is being shown.
        QMetaObject::invokeMethod(
            window,
            [w = QPointer<QWidget>(window)] {
                if (auto* dialog = qobject_cast<QDialog*>(w.data()))
                    dialog->reject();
                else if (w)
                    w->close();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    using QObject::QObject;

    bool IsExpected(const QWidget* window) const {
        const QString cls = QString::fromLatin1(window->metaObject()->className());
        const QString bare = cls.mid(cls.lastIndexOf(u':') + 1);
        return expected.contains(window->objectName()) || expected.contains(cls) || expected.contains(bare);
    }

    // Its class, title and every text it shows (a message box's text is a label too).
    static QString Describe(const QWidget* window) {
        QStringList texts{QString::fromLatin1(window->metaObject()->className()), window->windowTitle()};
        for (const QLabel* label : window->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                texts.append(label->text());
        return texts.join(u" | ");
    }
};

} // namespace

ExpectModal::ExpectModal(const QString& name) : name_(name) {
    ModalGuard::Instance().expected.append(name_);
}

ExpectModal::~ExpectModal() {
    ModalGuard::Instance().expected.removeOne(name_);
}

MessageCapture::MessageCapture() {
    platform::MessageBox::SetTestHook([this](const platform::ShownMessage& m) { messages_.append(m); });
}

MessageCapture::~MessageCapture() {
    platform::MessageBox::SetTestHook({});
}

QStringList MessageCapture::Titles() const {
    QStringList titles;
    for (const auto& m : messages_)
        titles.append(m.title);
    return titles;
}

QStringList MessageCapture::Lines() const {
    static const char16_t* const icons[] = {u"None", u"Critical", u"Exclamation", u"Information"};
    QStringList lines;
    for (const auto& m : messages_)
        lines.append(m.title + u'|' + QString::fromUtf16(icons[static_cast<int>(m.icon)]) + u'|' + m.text);
    return lines;
}

TempDir::TempDir() {
    dir_.setAutoRemove(true);
}

QString TempDir::Path() const {
    return QDir(dir_.path()).absolutePath() + QLatin1Char('/');
}

QString TempDir::Write(const QString& name, const QByteArray& bytes) const {
    const QString path = File(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Rows(const platform::ListView* view) {
    QStringList out;
    for (int i = 1; i <= view->Count(); ++i) {
        const auto entry = view->Entry(i);
        out.append(QString::number(entry.tag) + u'|' + entry.text + u'|' + entry.url);
    }
    return out;
}

QStringList Table() {
    QStringList out;
    for (int i = 0; i < gLinks.Size(); ++i) {
        const LinkRecord& r = gLinks.At(i);
        out.append(QString::fromStdU16String(r.name) + u'|' + QString::fromStdU16String(r.url) +
                   (r.deleted ? u"|deleted" : u""));
    }
    return out;
}

void ResetProcessState() {
    ResetGlobals();
    platform::FileDialog::ClearAnswers();
    platform::ShellOpen::SetRecording(true);
    ModalGuard::Instance();
}

std::unique_ptr<frmMain> StartMainWindow(const QString& programDir) {
    ResetProcessState();
    frmMain::SetProgramDirectoryForTests(programDir);
    auto w = std::make_unique<frmMain>();
    w->Start();
    return w;
}

std::unique_ptr<frmMain> StartMainWindow(const TempDir& dir) {
    return StartMainWindow(dir.Path());
}

bool OpenBrowser(QWidget* mainWindow, const QString& address) {
    gBrowseAddress = address.toStdU16String();
    return BrowserLibrary::Open(mainWindow);
}

QWidget* BrowserWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("frmBrowser"))
            return w;
    }
    return nullptr;
}

} // namespace orvane::test
