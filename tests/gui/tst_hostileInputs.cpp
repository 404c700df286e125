// Hostile inputs through the real main window: settings files that no well-made program writes, and
// a NUL in a page's link name. Neither may stop the program or lose data.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "forms/frmSave.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"

#include <QDir>
#include <QLabel>
#include <QRandomGenerator>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::test::MessageCapture;

namespace {

QByteArray WithoutLineEnds(QByteArray bytes) {
    return bytes.replace('\r', QByteArray()).replace('\n', QByteArray());
}

QByteArray Anchor(const QByteArray& url, const QByteArray& name) {
    return "<a href=\"" + url + "\">" + name + "</a>\r\n";
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

    void settingsFileStartsAndIsRewrittenKeepingTheRest_data() {
        // The file is before + ours + after; at exit our section is written once and the rest kept.
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("ours");
        QTest::addColumn<QByteArray>("after");
        QByteArray garbage(qsizetype{64} * 1024, '\0');
        QRandomGenerator random(7);
        for (char& b : garbage)
            b = static_cast<char>(random.bounded(256));
        garbage.replace("[", "("); // no section header by chance
        QByteArray sections;
        for (int i = 0; i < 10000; ++i)
            sections += "[S" + QByteArray::number(i) + "]\r\nk=v\r\n";
        const QByteArray other = "[Other]\r\nx=1\r\n";
        QTest::newRow("binary garbage") << garbage << QByteArray() << QByteArray();
        QTest::newRow("1 MB value") << QByteArray()
                                    << "[Orvane]\r\nProxyServerAddress=" + QByteArray(1 << 20, 'p') + "\r\n"
                                    << other;
        QTest::newRow("10,000 sections, none ours") << sections << QByteArray() << QByteArray();
        QTest::newRow("repeated keys")
            << other << QByteArray("[Orvane]\r\nLINK_AB=1\r\nLINK_AB=x\r\n") << other;
    }
    void settingsFileStartsAndIsRewrittenKeepingTheRest() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, ours);
        QFETCH(QByteArray, after);
        dir_->Write(u"Orvane.ini"_s, before + ours + after);

        Start();
        QCOMPARE(gLinkLevel, ours.contains("LINK_AB=1") ? 1 : 0); // the first of repeated keys counts
        QCOMPARE(frmSave::Loaded()->Path() + u"/"_s, dir_->Path());
        w_->close();
        // What is not ours loses nothing but the form of garbage's line ends; ours is written once.
        const QByteArray written = test::ReadAll(dir_->File(u"Orvane.ini"_s));
        QVERIFY(WithoutLineEnds(written).startsWith(WithoutLineEnds(before)));
        QVERIFY(written.endsWith(after));
        QCOMPARE(written.count("[Orvane]"), 1);
        const QByteArray section = written.mid(written.indexOf("[Orvane]\r\n"));
        const QByteArray inDirKey = "[Orvane]\r\nDefaultInDir=";
        QVERIFY(section.startsWith(QByteArray(inDirKey + dir_->Path().toUtf8())));
        QCOMPARE(section.left(section.size() - after.size()).count("\r\n"), 15);
        QVERIFY(!section.contains('\0'));

        // And the next start reads back what this one stored.
        w_.reset();
        test::ResetProcessState();
        Start();
        const qsizetype from = inDirKey.size();
        QCOMPARE(QString::fromStdU16String(gInputDir).toUtf8(),
                 section.mid(from, section.indexOf("\r\n", from) - from));
    }

    void nulInALinkNameNeverCutsTheShortcutFileName() {
        Start();
        Convert(u"nul.htm"_s,
                Anchor("http://example.jp/1", "readme\0.txt"_ba) + Anchor("http://example.jp/2", "b"));
        QCOMPARE(List()->Entry(1).text, u"readme\uFFFD.txt"_s);
        // A NUL that reaches a name another way (pasted into an in-place rename) is removed with the
        // other control characters rather than cut by the system.
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
        QCOMPARE(messages.Titles(), QStringList{u"完了"_s});
        QCOMPARE(test::ReadAll(mine), "mine"_ba);
        QCOMPARE(QDir(dir_->File(u"out"_s)).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"readme"_s, u"readme2.url"_s, u"readme\uFFFD.txt.url"_s}));
    }
};

QTEST_MAIN(HostileInputsTest)
#include "tst_hostileInputs.moc"
