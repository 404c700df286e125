#include "forms/frmFileName.h"

#include "core/FileNameRules.h"
#include "modules/modOrvane.h"
#include "platform/Desktop.h"
#include "platform/Placement.h"
#include "platform/Qt.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace orvane {

using platform::Place;
using platform::Px;
using platform::PxRect;
using platform::Q;
using platform::U;

// No parent: the window disables the save-destination window while it is up, and a child window
// would be disabled along with its parent.
frmFileName::frmFileName(QWidget* mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblFileBad_(new QLabel(QStringLiteral("BadFile"), this)),
      lblCurFileComment_(new QLabel(QStringLiteral("現在のﾌｧｲﾙ名    ："), this)),
      lblCurFile_(new QLabel(QStringLiteral("CurFile"), this)),
      lblAfterFileNameComment_(new QLabel(QStringLiteral("変換後のﾌｧｲﾙ名 ："), this)),
      lblAfterFile_(new QLabel(QStringLiteral("AfterFile"), this)),
      fraFileChange_(new QGroupBox(QStringLiteral(" ﾌｧｲﾙ名の変更 "), this)),
      optFileChange_0_(new QRadioButton(QStringLiteral("禁則文字を全角文字に変換"), fraFileChange_)),
      optFileChange_1_(new QRadioButton(QStringLiteral("ﾌｧｲﾙ名指定"), fraFileChange_)),
      lblAfterComment_(new QLabel(QStringLiteral("ﾌｧｲﾙ名 ："), fraFileChange_)),
      txtAfterFile_(new QLineEdit(fraFileChange_)), OKButton_(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("frmFileName"));
    setWindowTitle(QStringLiteral("ﾌｧｲﾙ名の変更"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(Px(5475), Px(3480));

    Place(lblFileBad_, u"lblFileBad", PxRect(240, 120, 4785, 420));
    Place(lblCurFileComment_, u"lblCurFileComment", PxRect(120, 600, 1575, 255));
    Place(lblCurFile_, u"lblCurFile", PxRect(1800, 600, 3615, 495));
    Place(lblAfterFileNameComment_, u"lblAfterFileNameComment", PxRect(120, 1200, 1575, 255));
    Place(lblAfterFile_, u"lblAfterFile", PxRect(1800, 1200, 3615, 735));
    Place(fraFileChange_, u"fraFileChange", PxRect(120, 1920, 5295, 975));
    platform::ApplyFrameLook(*fraFileChange_);
    Place(optFileChange_0_, u"optFileChange_0", PxRect(120, 240, 2775, 255));
    Place(optFileChange_1_, u"optFileChange_1", PxRect(120, 600, 1335, 255));
    Place(lblAfterComment_, u"lblAfterComment", PxRect(1800, 600, 855, 255));
    Place(txtAfterFile_, u"txtAfterFile", PxRect(2640, 600, 2415, 270));
    Place(OKButton_, u"OKButton", PxRect(4080, 3000, 1215, 375));

    for (QLabel* label : {lblFileBad_, lblCurFile_, lblAfterFile_}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    // Names are shown as they are, never interpreted as markup.
    for (QLabel* label : {lblFileBad_, lblCurFile_, lblAfterFile_}) {
        label->setTextFormat(Qt::PlainText);
        FitWrappedCaption(label);
    }

    optFileChange_0_->setChecked(true);
    txtAfterFile_->setEnabled(false);
    OKButton_->setDefault(true);
    InstallKeystrokeFilter(txtAfterFile_, NameBoxKind::FileName);

    connect(optFileChange_0_, &QRadioButton::clicked, this, [this] { optFileChange_Click(0); });
    connect(optFileChange_1_, &QRadioButton::clicked, this, [this] { optFileChange_Click(1); });
    connect(txtAfterFile_, &QLineEdit::textChanged, this, [this] { txtAfterFile_Change(); });
    connect(OKButton_, &QPushButton::clicked, this, [this] { OKButton_Click(); });

    setTabOrder(optFileChange_0_, optFileChange_1_);
    setTabOrder(optFileChange_1_, txtAfterFile_);
    setTabOrder(txtAfterFile_, OKButton_);

    Form_Load(mainWindow);
}

void frmFileName::Form_Load(QWidget* mainWindow) {
    if (!mainWindow)
        return;
    platform::CentreOver(*this, *mainWindow);
}

std::u16string frmFileName::Ask(QWidget* owner, std::u16string_view name, std::u16string_view converted) {
    frmFileName& window = Load(owner);
    window.Prepare(Q(std::u16string(name)), Q(std::u16string(converted)));
    // Taken as OK accepts, before it unloads the window.
    std::u16string answer;
    QObject::connect(&window, &QDialog::accepted, &window,
                     [&answer, &window] { answer = window.afterFileName_; });
    window.exec();
    return answer;
}

void frmFileName::Prepare(const QString& name, const QString& converted) {
    converted_ = converted;
    lblFileBad_->setText(Q(kBadFileNameText));
    lblCurFile_->setText(name);
    txtAfterFile_->setText(converted);
    lblAfterFile_->setText(converted);
}

void frmFileName::optFileChange_Click(int index) {
    if (index == 0) {
        txtAfterFile_->setEnabled(false);
        lblAfterFile_->setText(converted_);
    } else {
        txtAfterFile_->setEnabled(true);
        lblAfterFile_->setText(txtAfterFile_->text());
    }
}

void frmFileName::txtAfterFile_Change() {
    lblAfterFile_->setText(txtAfterFile_->text());
}

void frmFileName::OKButton_Click() {
    const bool typed = optFileChange_1_->isChecked();
    std::u16string name;
    MessageText refusal;
    if (!AcceptRenamedName(typed, U(txtAfterFile_->text()), U(lblAfterFile_->text()), name, refusal)) {
        ShowMessageText(this, refusal);
        return;
    }
    afterFileName_ = name;
    accept();
    Unload();
}

void frmFileName::closeEvent(QCloseEvent* event) {
    event->ignore();
}

} // namespace orvane
