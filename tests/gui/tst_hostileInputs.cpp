// Hostile inputs through the real main window: settings files that are garbage, huge or oddly
// shaped, HTML that no well-made page holds, and a list that is already full. None may stop the
// program or lose data.

#include "core/Conversion.h"
#include "core/Globals.h"
#include "core/LinkTable.h"
#include "core/Profile.h"
#include "forms/frmInfo.h"
#include "forms/frmMain.h"
#include "forms/frmSave.h"
#include "platform/ListView.h"
#include "platform/SystemCodec.h"
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

QByteArray Garbage(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random.bounded(256));
    return bytes;
}

// `count` sections whose keys look like ours, so a key read from the wrong section shows.
QByteArray OtherSections(int from, int count) {
    QByteArray out;
    for (int i = from; i < from + count; ++i)
        out +=
            "[S" + QByteArray::number(i) + "]\r\nLINK_AB=0\r\nTop=1\r\nv=" + QByteArray::number(i) + "\r\n";
    return out;
}

QByteArray WithoutLineEnds(QByteArray bytes) {
    return bytes.replace('\r', QByteArray()).replace('\n', QByteArray());
}

// Whole lines that end in CR LF only: the profile layer writes such lines back unchanged.
bool CrLfLinesOnly(const QByteArray& bytes) {
    return (bytes.isEmpty() || bytes.endsWith("\r\n")) &&
           bytes.count("\r\n") * 2 == bytes.count('\r') + bytes.count('\n');
}

// A usable section: placement 80,100 600x500 pixels, LINK_AB 1, DEBUG_STS True.
QByteArray GoodSection(const QByteArray& extra = {}) {
    return "[Orvane]\r\nDefaultInDir=%APP%in\r\nTop=1500\r\nLeft=1200\r\nWidth=9000\r\nHeight=7500\r\n"
           "DEBUG_STS=True\r\nLINK_AB=1\r\n" +
           extra;
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
    void CheckIdleAfterConversion() const {
        QVERIFY(w_->isEnabled());
        QVERIFY(!frmInfo::Loaded()->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!gCancelRequested);
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

    void settingsFileStartsAndIsRewrittenKeepingOtherSections_data() {
        // The file is before + section + after; at exit the section is replaced and the rest kept.
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("stored"); // GoodSection's values were taken
        QTest::addColumn<int>("proxyLength");

        QByteArray garbage = Garbage(64 * 1024, 7);
        garbage.replace("[", "("); // no section header by chance
        QTest::newRow("binary garbage") << garbage << QByteArray() << QByteArray() << false << 0;
        QTest::newRow("1 MB proxy address is cut")
            << QByteArray() << GoodSection("ProxyServerAddress=" + QByteArray(1 << 20, 'p') + "\r\n")
            << OtherSections(0, 1) << true << int(kProfileValueMax);
        QTest::newRow("10,000 sections, ours in the middle")
            << OtherSections(0, 5000) << GoodSection() << OtherSections(5000, 5000) << true << 0;
        QTest::newRow("repeated keys and section: the first counts")
            << QByteArray() << GoodSection("LINK_AB=0\r\nTop=0\r\nDEBUG_STS=False\r\n")
            << "[ORVANE]\r\nLINK_AB=0\r\nDEBUG_STS=False\r\n"_ba << true << 0;
    }
    void settingsFileStartsAndIsRewrittenKeepingOtherSections() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, after);
        QFETCH(bool, stored);
        QFETCH(int, proxyLength);
        section.replace("%APP%", dir_->Path().toUtf8());
        dir_->Write(u"Orvane.ini"_s, before + section + after);

        Start();
        QCOMPARE(gLinkLevel, stored ? 1 : 0);
        QCOMPARE(gNameMode, 0);
        QCOMPARE(gShowStatus, stored);
        QCOMPARE(int(gProxyAddress.size()), proxyLength);
        QCOMPARE(QString::fromStdU16String(gInputDir), dir_->Path() + (stored ? u"in"_s : QString()));
        QCOMPARE(frmSave::Loaded()->Path() + u"/"_s, dir_->Path());
        if (stored)
            QCOMPARE(w_->frameGeometry(), QRect(80, 100, 600, 500));
        w_->close();
        const QByteArray written = test::ReadAll(dir_->File(u"Orvane.ini"_s));
        QVERIFY(written.size() > before.size() + after.size());
        // Other sections survive byte for byte where their lines already end in CR LF; garbage
        // loses nothing but the form of its line ends.
        QVERIFY(written.endsWith(after));
        if (CrLfLinesOnly(before))
            QVERIFY(written.startsWith(before));
        else
            QVERIFY(WithoutLineEnds(written).startsWith(WithoutLineEnds(before)));
        const QByteArray ours = written.mid(written.lastIndexOf("[Orvane]\r\n"));
        const QByteArray inDirKey = "[Orvane]\r\nDefaultInDir=";
        QVERIFY(ours.startsWith(QByteArray(inDirKey + dir_->Path().toUtf8())));
        QVERIFY(ours.contains(QByteArray("\r\nLINK_AB=" + QByteArray::number(gLinkLevel) + "\r\n")));
        QCOMPARE(ours.left(ours.size() - after.size()).count("\r\n"), 15);
        QVERIFY(!ours.contains('\0'));

        // And the next start reads back what this one stored.
        w_.reset();
        const int level = gLinkLevel;
        test::ResetProcessState();
        Start();
        QCOMPARE(gLinkLevel, level);
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
        QTest::newRow("NUL bytes") << "\0<a href=\"http://a/1\">One</a>\0\0<a href=\"http://a/\0"
                                      "2\">T\0wo</a>\r\n"_ba
                                   << QStringList{u"One"_s, u"T\uFFFDwo"_s}
                                   << QStringList{u"http://a/1"_s, u"http://a/\uFFFD2"_s} << none;
        QTest::newRow("invalid Shift_JIS")
            << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">" +
                   Anchor("http://a/\x81", "\x82\xA0\x82") + Anchor("http://a/\xB1", "\x93\xfa\x96\x7b\x82")
            << QStringList{u"あ\uFFFD"_s, u"日本\uFFFD"_s}
            << QStringList{u"http://a/\uFFFD"_s, u"http://a/ｱ"_s} << none;
        const QByteArray weather = "天気予報";
        const QString weatherSystem =
            QString::fromStdU16String(platform::SystemCodec::Instance().DecodeSystem(weather.toStdString()));
        QTest::newRow("charset the platform does not know")
            << "<meta charset=\"x-no-such-charset\">" + Anchor("http://example.jp/", weather)
            << QStringList{weatherSystem} << QStringList{u"http://example.jp/"_s} << none;
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
        CheckIdleAfterConversion();
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

    // ---- The list at its limit ----

    void fullListTakesNoMoreLinks() {
        // One place left and three links in the file: the first fills the list, the rest are refused.
        const int entries = LinkTable::kMaxRecords - 1;
        Start();
        for (int i = 0; i < entries; ++i)
            w_->AddLinkRecord(QString(u"http://example.jp/"_s + QString::number(i)).toStdU16String(),
                              QString(u"n"_s + QString::number(i)).toStdU16String(), 0);
        w_->ShowNewLinks(entries);
        platform::ListView* list = List();
        const int before = list->Count();
        QCOMPARE(int(gLinkCount), before);

        QByteArray html;
        for (int i = 0; i < 3; ++i)
            html += Anchor("http://new.example.jp/" + QByteArray::number(i), "new" + QByteArray::number(i));
        const QString path = dir_->Write(u"one more.htm"_s, html);
        MessageCapture messages;
        w_->InputDroppedFiles({path});

        QCOMPARE(messages.Titles(), QStringList{u"ﾃﾞｰﾀ件数ｵｰﾊﾞｰ"_s});
        QCOMPARE(list->Count(), before + 1);
        QCOMPARE(int(gLinkCount), before + 1);
        QCOMPARE(gLinks.Size(), LinkTable::kMaxRecords);
        QCOMPARE(Child<QLabel>("lblItemCnt")->text(), u"ﾃﾞｰﾀ総数 ：%1"_s.arg(before + 1));
        QCOMPARE(list->Entry(before).text, u"n%1"_s.arg(entries - 1));
        QCOMPARE(list->Entry(before + 1).text, u"new0"_s);
        QCOMPARE(list->Entry(1).text, u"n0"_s);
        CheckIdleAfterConversion();
    }
};

QTEST_MAIN(HostileInputsTest)
#include "tst_hostileInputs.moc"
