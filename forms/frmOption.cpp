#include "forms/frmOption.h"

#include "core/Globals.h"
#include "modules/modOrvane.h"
#include "platform/Desktop.h"
#include "platform/LineEdit.h"
#include "platform/MessageBox.h"
#include "platform/Placement.h"
#include "platform/Qt.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

namespace orvane {

using platform::Place;
using platform::Px;
using platform::PxRect;

namespace {

struct OptionGroup {
    const char16_t* frame;
    const char16_t* caption;
    int left, top, width, height; // twips, in the client area
    const char16_t* array;
    const char16_t* text[2];
    int secondLeft; // the index-1 button's left edge in the frame
    const char16_t* help[2];
    bool hideHelpOnLeave;
};

// In the order of frmOption::OptionArray.
// clang-format off
constexpr OptionGroup kGroups[frmOption::kArrayCount] = {
    {u"fraJyokyo", u" 状況表示 ", 120, 120, 3135, 615, u"optJyokyo", {u"表示あり", u"表示なし"}, 1560,
     {u"入力ファイルの処理状況が表示されますが、処理が遅くなります。",
      u"入力ファイルの処理状況は表示されませんが、処理が速くなります。"},
     true},
    {u"Frame2", u" リンク検出レベル ", 120, 840, 3135, 915, u"optLevel", {u"A href", u"http"}, 1560,
     {u"<A Href> から </A> に囲まれた文字列を抽出対象とします。",
      u"httpが付加された文字列をすべて抽出します、image src などで絶対ﾊﾟｽ指定の物も抽出対象となります。"},
     false},
    {u"fraListType", u" ﾘｽﾄ作成方法 ", 120, 1860, 3135, 615, u"optListType", {u"URLのみ", u"名称&&URL"}, 1560,
     {u"ﾘｽﾄﾌｧｲﾙには、ﾘｽﾄﾃﾞｰﾀのURLのみが記載されます。", u"ﾘｽﾄﾌｧｲﾙには、ﾘｽﾄﾃﾞｰﾀの名称およびURLが記載されます。"},
     false},
    {u"Frame1", u" 名称抽出 ", 3360, 120, 4095, 615, u"optMeisyo", {u"名称のみ", u"名称以外の文字列も取得"}, 1560,
     {u"名称のみ表示しますが、名称が設定されていないリンクは、（名称無し）として表示されます。",
      u"名称とリンクを表示しますが、名称が設定されていないリンクは、HTMLソースが表示されます（<image src>等）、"
      u"このとき、名称を編集しないと保存できないファイルも発生します。"},
     true},
    {u"fraOver", u" ファイル上書確認 ", 3360, 840, 4095, 615, u"optOver", {u"確認を行う", u"確認を行なわない"}, 1560,
     {u"ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄ作成時に、同名のﾌｧｲﾙが存在した場合、上書確認、名称変更等の問い合わせを行います。",
      u"ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄ作成時に、同名のﾌｧｲﾙが存在した場合、確認をせずに全て上書を行います。"
      u"（ブックマークの更新時はこれを使ったほうが効率的です）"},
     true},
    {u"fraProxy", u" Proxyの設定 ", 3360, 1560, 4095, 615, u"optProxy", {u"使用しない", u"使用する"}, 1320,
     {u"ﾌﾟﾛｷｼｰｻｰﾊﾞを使用しません。",
      u"WWWからﾌｧｲﾙを開く時に、ﾌﾟﾛｷｼｰｻｰﾊﾞを介してﾌｧｲﾙを取得します。\r\n"
      u"右のﾃｷｽﾄﾎﾞｯｸｽにﾌﾟﾛｷｼｰｻｰﾊﾞのｱﾄﾞﾚｽを入力して下さい。"},
     false},
    {u"fraDataDel", u" ﾘｽﾄﾀﾞﾌﾞﾙｸﾘｯｸ時の動作 ", 3360, 2280, 4095, 615, u"optDelData",
     {u"ﾃﾞｰﾀをﾘｽﾄから削除", u"ﾌﾞﾗｳｽﾞする"}, 2280,
     {u"ﾘｽﾄﾃﾞｰﾀをﾀﾞﾌﾞﾙｸﾘｯｸした時、そのﾃﾞｰﾀがﾘｽﾄから削除されます。",
      u"ﾘｽﾄﾃﾞｰﾀをﾀﾞﾌﾞﾙｸﾘｯｸした時、そのURLをﾌﾞﾗｳｽﾞします（オマケ機能です）"},
     false},
};
// clang-format on

// The level frame's third choice stands in a row of its own below the other two; the frame is one row
// taller for it and the frame under it one row lower.
constexpr const char16_t* kLevelTagsText = u"ﾀｸﾞ解析";
constexpr const char16_t* kLevelTagsHelp =
    u"HTMLのﾀｸﾞを解析し、<A Href> と <AREA Href> のﾘﾝｸをすべて抽出します、"
    u"相対ﾊﾟｽ指定の物も絶対ﾊﾟｽに変換して抽出対象となります（8Mﾊﾞｲﾄまで）。";
constexpr int kLevelTagsTop = 540;

constexpr int kOptionTop = 240;
constexpr int kOptionHeight = 255;
constexpr int kFirstOptionLeft = 120;
constexpr int kTxtProxyLeft = 2400;
constexpr int kGap = 15; // between a button's right edge and whatever follows it

QString S(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The address box is grey while it is disabled, white while it takes input.
void SetAddressBoxColour(QLineEdit* box, bool enabled) {
    QPalette palette = box->palette();
    const QPalette system = QApplication::palette(box);
    palette.setColor(QPalette::Base,
                     system.color(QPalette::Active, enabled ? QPalette::Base : QPalette::Window));
    box->setPalette(palette);
}

} // namespace

frmOption::frmOption(QWidget* mainWindow)
    : QDialog(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      mainWindow_(mainWindow) {
    // No Qt parent: a disabled main window would disable a child window too.
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("ｵﾌﾟｼｮﾝ設定"));
    setFixedSize(Px(7515), Px(4215));

    for (int a = 0; a < kArrayCount; ++a) {
        const OptionGroup& g = kGroups[a];
        auto* frame = new QGroupBox(S(g.caption), this);
        Place(frame, S(g.frame), PxRect(g.left, g.top, g.width, g.height));
        platform::ApplyFrameLook(*frame);
        frames_[static_cast<std::size_t>(a)] = frame;
        const int rightBound = a == optProxy ? kTxtProxyLeft : g.width;
        const int lefts[2] = {kFirstOptionLeft, g.secondLeft};
        const int widths[2] = {g.secondLeft - kFirstOptionLeft - kGap, rightBound - g.secondLeft - kGap};
        for (int i = 0; i < 2; ++i) {
            auto* button = new QRadioButton(S(g.text[i]), frame);
            Place(button, S(g.array) + u'_' + QString::number(i),
                  PxRect(lefts[i], kOptionTop, widths[i], kOptionHeight));
            FitCaption(button);
            button->installEventFilter(this);
            opt_[static_cast<std::size_t>(a)][static_cast<std::size_t>(i)] = button;
        }
    }
    optLevelTags_ = new QRadioButton(S(kLevelTagsText), frames_[optLevel]);
    Place(optLevelTags_, u"optLevel_2",
          PxRect(kFirstOptionLeft, kLevelTagsTop, kGroups[optLevel].width - kFirstOptionLeft - kGap,
                 kOptionHeight));
    FitCaption(optLevelTags_);
    optLevelTags_->installEventFilter(this);

    for (int i = 0; i < 2; ++i) {
        connect(opt_[optProxy][static_cast<std::size_t>(i)], &QRadioButton::toggled, this,
                [this, i](bool on) {
                    if (on)
                        optProxy_Click(i);
                });
    }

    // Its length limit holds for typing only: a longer stored address is shown and kept whole.
    txtProxy_ = new platform::LineEdit(frames_[optProxy]);
    Place(txtProxy_, u"txtProxy", PxRect(kTxtProxyLeft, 240, 1575, 270));
    txtProxy_->setEnabled(false);
    SetAddressBoxColour(txtProxy_, false);

    Shape1_ = new QFrame(this);
    Place(Shape1_, u"Shape1", PxRect(120, 3120, 4815, 975));
    Shape1_->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblInfo_ = new QLabel(this);
    Place(lblInfo_, u"lblInfo", PxRect(240, 3240, 4575, 735));
    lblInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInfo_->setWordWrap(true);
    lblInfo_->raise();

    cmdOk_ = new QPushButton(QStringLiteral("OK"), this);
    Place(cmdOk_, u"cmdOk", PxRect(5400, 3720, 975, 375));
    cmdCancel_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Place(cmdCancel_, u"cmdCancel", PxRect(6480, 3720, 975, 375));
    connect(cmdOk_, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    // Tab order: the buttons frame by frame, the address box after "使用する", then OK and ｷｬﾝｾﾙ.
    QWidget* previous = nullptr;
    const auto chain = [&](QWidget* next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    for (int a = 0; a < kArrayCount; ++a) {
        chain(opt_[static_cast<std::size_t>(a)][0]);
        chain(opt_[static_cast<std::size_t>(a)][1]);
        if (a == optLevel)
            chain(optLevelTags_);
        if (a == optProxy)
            chain(txtProxy_);
    }
    chain(cmdOk_);
    chain(cmdCancel_);

    Form_Load();
}

void frmOption::Form_Load() {
    if (mainWindow_)
        platform::CentreOver(*this, *mainWindow_);

    // Not visible yet, so selecting the proxy choice sets up the address box without the note.
    Select(optJyokyo, gShowStatus ? 0 : 1);
    // Values other than 0, 1 and 2 (from a hand-edited file) act as 1.
    if (gLinkLevel == 2)
        optLevelTags_->setChecked(true);
    else
        Select(optLevel, gLinkLevel != 0 ? 1 : 0);
    Select(optListType, gListType != 0 ? 1 : 0);
    Select(optMeisyo, gNameMode != 0 ? 1 : 0);
    Select(optOver, gConfirmOverwrite ? 0 : 1);
    Select(optProxy, gProxyUse ? 1 : 0);
    Select(optDelData, gDblClickAction != 0 ? 1 : 0);
    txtProxy_->setText(platform::Q(gProxyAddress));

    // The first stop of the tab order; within its array, the selected button.
    opt_[optJyokyo][gShowStatus ? 0 : 1]->setFocus();
}

void frmOption::Select(OptionArray array, int index) {
    opt_[static_cast<std::size_t>(array)][static_cast<std::size_t>(index)]->setChecked(true);
}

bool frmOption::Selected(OptionArray array, int index) const {
    return opt_[static_cast<std::size_t>(array)][static_cast<std::size_t>(index)]->isChecked();
}

void frmOption::optProxy_Click(int index) {
    const bool use = index == 1;
    txtProxy_->setEnabled(use);
    SetAddressBoxColour(txtProxy_, use);
    if (isVisible()) {
        platform::MessageBox::Show(this,
                                   QStringLiteral("この設定は、次回起動時から有効になります。") + u"\r\n" +
                                       QStringLiteral("Orvaneを再起動して下さい。"),
                                   QStringLiteral("注意"), MessageIcon::Information);
    }
}

void frmOption::opt_GotFocus(OptionArray array, int index) {
    lblInfo_->setVisible(true);
    lblInfo_->setText(S(array == optLevel && index == 2 ? kLevelTagsHelp : kGroups[array].help[index]));
}

void frmOption::opt_LostFocus(OptionArray array, int /*index*/) {
    if (!kGroups[array].hideHelpOnLeave)
        return;
    lblInfo_->setVisible(false);
    lblInfo_->clear();
}

void frmOption::cmdOk_Click() {
    gShowStatus = Selected(optJyokyo, 0);
    gLinkLevel = Selected(optLevel, 0) ? 0 : optLevelTags_->isChecked() ? 2 : 1;
    gListType = Selected(optListType, 0) ? 0 : 1;
    gNameMode = Selected(optMeisyo, 0) ? 0 : 1;
    gConfirmOverwrite = Selected(optOver, 0);
    if (Selected(optProxy, 0)) {
        gProxyUse = false; // the address stays as it was, whatever the box holds
    } else {
        gProxyUse = true;
        gProxyAddress = platform::U(txtProxy_->text());
    }
    gDblClickAction = Selected(optDelData, 0) ? 0 : 1;
    CloseDialog(QDialog::Accepted);
}

void frmOption::cmdCancel_Click() {
    CloseDialog(QDialog::Rejected);
}

void frmOption::reject() {
    CloseDialog(QDialog::Rejected);
}

void frmOption::CloseDialog(int result) {
    if (mainWindow_)
        mainWindow_->setEnabled(true);
    done(result);
    if (mainWindow_)
        mainWindow_->repaint();
}

bool frmOption::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusIn && type != QEvent::FocusOut)
        return QDialog::eventFilter(watched, event);
    for (int a = 0; a < kArrayCount; ++a) {
        for (int i = 0; i < 3; ++i) {
            QObject* button = i < 2 ? opt_[static_cast<std::size_t>(a)][static_cast<std::size_t>(i)]
                                    : (a == optLevel ? optLevelTags_ : nullptr);
            if (!button || watched != button)
                continue;
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (type == QEvent::FocusIn) {
                // Coming back to the dialog (after the proxy note, say) is no new focus.
                if (watched != focused_) {
                    focused_ = watched;
                    opt_GotFocus(static_cast<OptionArray>(a), i);
                }
            } else if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                focused_ = nullptr;
                opt_LostFocus(static_cast<OptionArray>(a), i);
            }
            return QDialog::eventFilter(watched, event);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOption::showEvent(QShowEvent* event) {
    // Kept above the main window by the window manager although it is no Qt child of it.
    if (mainWindow_ && mainWindow_->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(mainWindow_->windowHandle());
    QDialog::showEvent(event);
}

} // namespace orvane
