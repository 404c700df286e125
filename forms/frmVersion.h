#pragma once
// The About window: program name, version and build date, and the author's home page.
// The window is cut to an ellipse and is dragged by its surface.

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace orvane {

class frmVersion : public QDialog {
    Q_OBJECT
public:
    /// The author's home page, shown in the window and opened by its two links.
    static const QString& HomePage();

    /// Shows the window modally over `mainWindow`; each opening builds it afresh.
    static void Show(QWidget* mainWindow);

    explicit frmVersion(QWidget* mainWindow);

    /// The ellipse that shapes a window of the given outer size in twips, in pixels.
    static QRect EllipseBounds(int widthTwips, int heightTwips);

    /// Replaces the window system's move while set (an empty hook restores it), so a drag can
    /// be observed without a window manager.
    using MoveHook = std::function<void(frmVersion&)>;
    static void SetMoveHook(MoveHook hook);

    void Form_MouseDown(Qt::MouseButtons buttons);
    void Label2_Click();
    void lblUrlDovra_Click();
    void cmdOK_Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void AddCaptionStrip();
    void Form_Load();
    /// Both links: the home page in the user's browser, or a message saying it could not be opened.
    void OpenHomePage();
    // Positions in twips; without a width the label takes the size of its text.
    QLabel* AddLabel(const char* name, const QString& text, int left, int top, int width = 0, int height = 0,
                     bool bold = false);

    QPointer<QWidget> m_mainWindow;
    QLabel* Label2 = nullptr;
    QLabel* lblUrlDovra = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace orvane
