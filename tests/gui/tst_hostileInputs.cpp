// Hostile inputs through the real main window: a garbage settings file and HTML that no well-made
// page holds. Neither may stop the program or lose data.

#include "core/Conversion.h"
#include "core/Globals.h"
#include "forms/frmInfo.h"
#include "forms/frmMain.h"
#include "forms/frmSave.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"

#include <QDir>
#include <QLabel>
#include <QRandomGenerator>
#include <QtTest>

using namespace orvane;
using orvane::test::Column;
using namespace Qt::StringLiterals;
using orvane::test::MessageCapture;

namespace {

QByteArray WithoutLineEnds(QByteArray bytes) {
    return bytes.replace('\r', QByteArray()).replace('\n', QByteArray());
}

QByteArray Anchor(const QByteArray& url, const QByteArray& name) {
    return "<a href=\"" + url + "\">" + name + "</a>\r\n";
}

QString NoLinksText(const QString& target) {
    return u"「"_s + target + u"」に、\r\nﾘﾝｸﾃﾞｰﾀが存在しません。\r\nﾘｽﾄを作成できません。"_s;
}

} // namespace

class HostileInputsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<frmMain> w_;

    template <typename T> T* Child(const char* name) const {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }
    platform::ListView* List() const { return Child<platform::ListView>("ListView1"); }
    void Start() {
        w_ = std::make_unique<frmMain>();
        w_->Start();
    }
    void Convert(const QString& name, const QByteArray& html) {
        const QString path = dir_->Write(name, html);
        Child<QLabel>("lblTgtFile")->setText(path);
        w_->ConvertHtmlFile(path);
    }

private Q_SLOTS:
    void init() {
        test::ResetProcessState();
        dir_ = std::make_unique<test::TempDir>();
        QDir(dir_->Path()).mkpath(u"in"_s);
        frmMain::SetProgramDirectoryForTests(dir_->Path());
    }
    void cleanup() {
        w_.reset();
        dir_.reset();
    }

    // ---- Settings files ----

    void binaryGarbageSettingsFileStartsAndIsRewrittenKeepingItsBytes() {
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator random(7);
        for (char& b : garbage)
            b = static_cast<char>(random.bounded(256));
        garbage.replace("[", "("); // no section header by chance
        dir_->Write(u"Orvane.ini"_s, garbage);

        Start();
        QCOMPARE(gLinkLevel, 0);
        QCOMPARE(gShowStatus, false);
        QCOMPARE(QString::fromStdU16String(gInputDir), dir_->Path());
        QCOMPARE(frmSave::Loaded()->Path() + u"/"_s, dir_->Path());
        w_->close();
        // The garbage loses nothing but the form of its line ends; our section follows it.
        const QByteArray written = test::ReadAll(dir_->File(u"Orvane.ini"_s));
        QVERIFY(WithoutLineEnds(written).startsWith(WithoutLineEnds(garbage)));
        const QByteArray ours = written.mid(written.lastIndexOf("[Orvane]\r\n"));
        const QByteArray inDirKey = "[Orvane]\r\nDefaultInDir=";
        QVERIFY(ours.startsWith(QByteArray(inDirKey + dir_->Path().toUtf8())));
        QCOMPARE(ours.count("\r\n"), 15);
        QVERIFY(!ours.contains('\0'));

        // And the next start reads back what this one stored.
        w_.reset();
        test::ResetProcessState();
        Start();
        const qsizetype from = inDirKey.size();
        QCOMPARE(QString::fromStdU16String(gInputDir).toUtf8(),
                 ours.mid(from, ours.indexOf("\r\n", from) - from));
    }

    // ---- HTML files ----

    void htmlFileConvertsWithTheRightResult_data() {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QStringList>("names"); // after the entry of an earlier file
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QStringList>("titles");

        const QStringList none;
        const QStringList noLinks{u"データなし"_s};
        QTest::newRow("invalid Shift_JIS")
            << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">" +
                   Anchor("http://a/\x81", "\x82\xA0\x82") + Anchor("http://a/\xB1", "\x93\xfa\x96\x7b\x82")
            << QStringList{u"あ\uFFFD"_s, u"日本\uFFFD"_s}
            << QStringList{u"http://a/\uFFFD"_s, u"http://a/ｱ"_s} << none;
        const qsizetype max = qsizetype(kMaxInputBytes);
        QTest::newRow("128,000 x <") << QByteArray(max, '<') << none << none << noLinks;
    }
    void htmlFileConvertsWithTheRightResult() {
        QFETCH(QByteArray, html);
        QFETCH(QStringList, names);
        QFETCH(QStringList, urls);
        QFETCH(QStringList, titles);
        Start();
        Convert(u"first.htm"_s, Anchor("http://keep/", "Keep"));
        MessageCapture messages;
        Convert(u"hostile.htm"_s, html);
        QCOMPARE(messages.Titles(), titles);
        if (titles.contains(u"データなし"_s))
            QCOMPARE(messages.Last().text, NoLinksText(dir_->File(u"hostile.htm"_s)));
        QCOMPARE(Column(List(), 0), QStringList{u"Keep"_s} + names);
        QCOMPARE(Column(List(), 1), QStringList{u"http://keep/"_s} + urls);
        QCOMPARE(gLinks.Size(), 1 + int(names.size()));
        QCOMPARE(int(gLinkCount), 1 + int(names.size()));
        QVERIFY(w_->isEnabled());
        QVERIFY(!frmInfo::Loaded()->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!gCancelRequested);
    }

    void nulInALinkNameNeverCutsTheShortcutFileName() {
        Start();
        Convert(u"nul.htm"_s,
                Anchor("http://example.jp/1", "readme\0.txt"_ba) + Anchor("http://example.jp/2", "b"));
        QCOMPARE(List()->Entry(1).text, u"readme\uFFFD.txt"_s);
        // A NUL that reaches a name another way (pasted into an in-place rename) is refused by the
        // writer rather than cut by the system.
        const QString pasted = u"readme"_s + QChar(0) + u"2"_s;
        QVERIFY(List()->Model()->setData(List()->Model()->index(1, 0), pasted, Qt::EditRole));
        // Files that a cut name would hit, in the output directory.
        const QString mine = dir_->Write(u"out/readme"_s, "mine");
        frmSave& save = *frmSave::Loaded();
        QVERIFY(save.SetPath(dir_->File(u"out"_s)));
        gConfirmOverwrite = false;
        MessageCapture messages;
        w_->cmdOutLink_Click();
        save.OKButton_Click();
        QCOMPARE(messages.Titles(), QStringList{u"作成失敗"_s});
        QVERIFY(messages.Last().text.endsWith(pasted + u".url"_s));
        QCOMPARE(test::ReadAll(mine), "mine"_ba);
        QCOMPARE(QDir(dir_->File(u"out"_s)).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"readme"_s, u"readme\uFFFD.txt.url"_s}));
    }
};

QTEST_MAIN(HostileInputsTest)
#include "tst_hostileInputs.moc"
