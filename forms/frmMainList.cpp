// frmMain: the link list and its editing commands.

#include "forms/frmMain.h"

#include "core/Globals.h"
#include "core/Text.h"
#include "platform/ElidedLabel.h"
#include "platform/LineEdit.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/Qt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <initializer_list>

namespace orvane {

using platform::Q;
using platform::U;

namespace {

const QString kTargetCleared = QStringLiteral("ﾀｰｹﾞｯﾄﾌｧｲﾙ ：");
const QString kCountPrefix = QStringLiteral("ﾃﾞｰﾀ総数 ：");
const QString kUpdateFailed = QStringLiteral("更新失敗");

} // namespace

int frmMain::AddLinkRecord(std::u16string url, std::u16string name, std::int16_t seq) {
    return gLinks.Add(std::move(url), std::move(name), seq);
}

void frmMain::ShowNewLinks(int count) {
    // Within a drop the view takes the records once, after its last file: each insert makes the
    // view lay out all its rows again. They are the last records of the table until then, since a
    // failed or cancelled file removes only its own, which were never shown.
    if (dropping_)
        heldRecords_ += count;
    else
        ListView1_->AddRecords(gLinks.Size() - count, count);
    SetCountLabel();
}

void frmMain::ShowHeldRecords() {
    const int count = heldRecords_;
    heldRecords_ = 0;
    ListView1_->AddRecords(gLinks.Size() - count, count);
}

void frmMain::SetCountLabel() {
    lblItemCnt_->setText(kCountPrefix + QString::number(gLinkCount()));
}

void frmMain::SetEditControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{txtName_, txtURL_, cmdUpDate_, cmdDelete_})
        w->setEnabled(enabled);
    // Enabled boxes have the window background, disabled ones the button face.
    const QColor background = palette().color(enabled ? QPalette::Base : QPalette::Button);
    for (QLineEdit* box : {txtName_, txtURL_}) {
        QPalette p = box->palette();
        p.setColor(QPalette::Active, QPalette::Base, background);
        p.setColor(QPalette::Inactive, QPalette::Base, background);
        p.setColor(QPalette::Disabled, QPalette::Base, background);
        box->setPalette(p);
    }
}

void frmMain::ListView1_ItemClick(int index) {
    if (index < 1 || index > ListView1_->Count())
        return;
    const int selected = ListView1_->SelectedIndex();
    const platform::ListEntry clicked = ListView1_->Entry(index);
    const platform::ListEntry chosen = ListView1_->Entry(selected ? selected : index);
    lblIdx_->setText(QString::number(chosen.tag));
    txtName_->setText(clicked.text);
    txtURL_->setText(chosen.url);
    SetEditControlsEnabled(true);
}

void frmMain::ListView1_AfterLabelEdit(int index, const QString& newText, bool* cancel) {
    if (index < 1 || index > ListView1_->Count())
        return;
    const std::u16string trimmed = Trim(U(newText));
    if (trimmed.empty()) {
        // An empty name would end every output at this record.
        *cancel = true;
        platform::MessageBox::Show(this, QStringLiteral("名称を正しく入力して下さい。"), kUpdateFailed,
                                   MessageIcon::Exclamation);
        return;
    }
    // The edited entry's own record is renamed, whichever entry the edit boxes hold. The list shows
    // the record, so the list, the edit box and every later output hold the same trimmed name.
    const int tag = ListView1_->Tag(index);
    gLinks.At(tag).name = trimmed;
    if (lblIdx_->text() == QString::number(tag))
        txtName_->setText(Q(trimmed));
}

void frmMain::ListView1_ColumnClick(int column) {
    ListView1_->SetSortKey(column - 1);
    const Qt::SortOrder order =
        ListView1_->SortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (ListView1_->Sorted()) {
        ListView1_->SetSortOrder(order);
    } else {
        ListView1_->SetSortOrder(order);
        ListView1_->SetSorted(true);
    }
}

void frmMain::comListClear_Click() {
    heldRecords_ = 0;
    ListView1_->Clear();
    gLinks.Clear();
    lblTgtFile_->setText(kTargetCleared);
    lblIdx_->clear();
    txtName_->clear();
    txtURL_->clear();
    lblItemCnt_->setText(kCountPrefix + QStringLiteral("0"));
}

void frmMain::cmdUpDate_Click() {
    if (lblIdx_->text().isEmpty())
        return;
    if (ListView1_->Count() == 0) {
        platform::MessageBox::Show(this,
                                   QStringLiteral("更新対象となるデータがありません、\r\n"
                                                  "更新対象データをリストから選択して下さい。"),
                                   kUpdateFailed, MessageIcon::Exclamation);
        return;
    }
    const std::u16string url = Trim(U(txtURL_->text()));
    if (url.empty()) {
        platform::MessageBox::Show(this, QStringLiteral("URLを正しく入力して下さい。"), kUpdateFailed,
                                   MessageIcon::Exclamation);
        return;
    }
    const std::u16string name = Trim(U(txtName_->text()));
    if (name.empty()) {
        platform::MessageBox::Show(this, QStringLiteral("名称を正しく入力して下さい。"), kUpdateFailed,
                                   MessageIcon::Exclamation);
        return;
    }
    // The entry that belongs to the loaded record, selected or not, so view and table stay one pair.
    const int tag = lblIdx_->text().toInt();
    LinkRecord& record = gLinks.At(tag);
    record.url = url;
    record.name = name;
    if (const int index = ListView1_->IndexOfTag(tag))
        ListView1_->EntryChanged(index);
    lblIdx_->clear();
    txtName_->clear();
    txtURL_->clear();
    SetEditControlsEnabled(false);
}

void frmMain::cmdDelete_Click() {
    if (ListView1_->Count() == 0)
        return;
    const int selected = ListView1_->SelectedIndex();
    if (selected == 0)
        return;
    gLinks.At(ListView1_->Tag(selected)).deleted = true;
    lblIdx_->clear();
    txtName_->clear();
    txtURL_->clear();
    SetCountLabel();
    ListView1_->Remove(selected);
    ListView1_->clearSelection();
    SetEditControlsEnabled(false);
}

void frmMain::ListView1_DblClick() {
    if (gDblClickAction == 0) {
        cmdDelete_Click();
        return;
    }
    const int selected = ListView1_->SelectedIndex();
    if (selected == 0)
        return;
    gBrowseAddress = U(ListView1_->Entry(selected).url);
    OpenBrowser();
}

} // namespace orvane
