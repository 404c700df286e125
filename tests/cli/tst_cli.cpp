// orvane-cli end to end, through its binary: the formats byte for byte, several inputs into one list,
// standard input, pages from a web server of the test, shortcuts, and every exit status with its
// message. Each run gets its own working and temporary directories; a run must leave the temporary
// one empty.

#include "support/WebServer.h"

#include <iconv.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using orvane::test::Page;
using orvane::test::Redirect;
using orvane::test::WebResponse;
using orvane::test::WebServer;

namespace {

struct CliResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// A page of the tests: names with the characters each format treats differently, a reference in an
// address, a Japanese name and address, and a link without a name.
const QByteArray kPage = "<html><head><meta charset=\"utf-8\"></head><body>\r\n"
                         "<a href=\"http://a.example/1\">Top</a>\r\n"
                         "<a href=\"http://b.example/?q=1&amp;r=2\">a,b \"q\" \\ x\ty\x01</a>\r\n"
                         "<a href=\"http://c.example/\xe6\x97\xa5\">\xe6\x97\xa5\xe6\x9c\xac</a>\r\n"
                         "<a href=\"http://d.example/\"><img src=\"i.png\"></a>\r\n"
                         "</body></html>\r\n";

QByteArray Pad(QByteArray page, qsizetype size) {
    // Spaces before the last line end bring the page to the exact size.
    page.insert(page.size() - 2, QByteArray(size - page.size(), ' '));
    return page;
}

// `utf8` in Windows' Shift_JIS, as Japanese pages are written.
QByteArray ShiftJis(const QByteArray& utf8) {
    const iconv_t cd = iconv_open("CP932", "UTF-8");
    QByteArray out(utf8.size() * 2, '\0');
    char* in = const_cast<char*>(utf8.data());
    char* to = out.data();
    std::size_t inLeft = static_cast<std::size_t>(utf8.size()),
                outLeft = static_cast<std::size_t>(out.size());
    const bool ok =
        cd != reinterpret_cast<iconv_t>(-1) && iconv(cd, &in, &inLeft, &to, &outLeft) != std::size_t(-1);
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    out.truncate(ok ? out.size() - static_cast<qsizetype>(outLeft) : 0);
    return out;
}

} // namespace

class tst_cli : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString tmp_;

    QString Path(const QString& name) const { return dir_->filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }

    // Runs the program in the scratch directory, feeding `input` to its standard input. The event
    // loop keeps running meanwhile, so the test's web server answers.
    CliResult Run(const QStringList& args, const QByteArray& input = {}) {
        QProcess p;
        p.setWorkingDirectory(dir_->path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        env.insert(u"TMPDIR"_s, tmp_);
        env.remove(u"http_proxy"_s);
        p.setProcessEnvironment(env);
        QEventLoop loop;
        connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
        connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        p.start(QStringLiteral(ORVANE_CLI_PATH), args);
        if (!p.waitForStarted())
            return {};
        p.write(input);
        p.closeWriteChannel();
        if (p.state() != QProcess::NotRunning)
            loop.exec();
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        const QStringList left = QDir(tmp_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        if (!left.isEmpty())
            qWarning() << "left in the temporary directory:" << left;
        return {p.exitStatus() == QProcess::NormalExit && left.isEmpty() ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }

    void Compare(const CliResult& r, int status, const QByteArray& out, const QByteArray& err) {
        QCOMPARE(QString::fromUtf8(r.err), QString::fromUtf8(err));
        QCOMPARE(r.out, out);
        QCOMPARE(r.status, status);
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        tmp_ = Path(u"tmp"_s);
        QVERIFY(QDir().mkdir(tmp_));
        Write(u"page.html"_s, kPage);
    }

    void formats_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("url (default)") << QStringList{}
                                       << QByteArray("http://a.example/1\r\n"
                                                     "http://b.example/?q=1&r=2\r\n"
                                                     "http://c.example/\xe6\x97\xa5\r\n"
                                                     "http://d.example/\r\n");
        QTest::newRow("name-url")
            << QStringList{u"--format"_s, u"name-url"_s}
            << QByteArray("Top,http://a.example/1\r\n"
                          "a,b \"q\" \\ x\ty\x01,http://b.example/?q=1&r=2\r\n"
                          "\xe6\x97\xa5\xe6\x9c\xac,http://c.example/\xe6\x97\xa5\r\n"
                          "(\xe5\x90\x8d\xe7\xa7\xb0\xe7\x84\xa1\xe3\x81\x97 3),http://d.example/\r\n");
        QTest::newRow("tsv")
            << QStringList{u"--format=tsv"_s}
            << QByteArray("Top\thttp://a.example/1\n"
                          "a,b \"q\" \\ x y\x01\thttp://b.example/?q=1&r=2\n"
                          "\xe6\x97\xa5\xe6\x9c\xac\thttp://c.example/\xe6\x97\xa5\n"
                          "(\xe5\x90\x8d\xe7\xa7\xb0\xe7\x84\xa1\xe3\x81\x97 3)\thttp://d.example/\n");
        QTest::newRow("json") << QStringList{u"--format"_s, u"json"_s}
                              << QByteArray(
                                     "[\n"
                                     "  {\"name\": \"Top\", \"url\": \"http://a.example/1\"},\n"
                                     "  {\"name\": \"a,b \\\"q\\\" \\\\ x\\ty\\u0001\", "
                                     "\"url\": \"http://b.example/?q=1&r=2\"},\n"
                                     "  {\"name\": \"\xe6\x97\xa5\xe6\x9c\xac\", "
                                     "\"url\": \"http://c.example/\xe6\x97\xa5\"},\n"
                                     "  {\"name\": \"(\xe5\x90\x8d\xe7\xa7\xb0\xe7\x84\xa1\xe3\x81\x97 3)\", "
                                     "\"url\": \"http://d.example/\"}\n"
                                     "]\n");
    }
    void formats() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, out);
        args << u"page.html"_s;
        Compare(Run(args), 0, out, {});
        // The same bytes through --output, which leaves nothing else in the directory.
        args << u"--output"_s << u"out/list"_s;
        QVERIFY(QDir().mkdir(Path(u"out"_s)));
        Compare(Run(args), 0, {}, {});
        QCOMPARE(Read(Path(u"out/list"_s)), out);
        QCOMPARE(QDir(Path(u"out"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{u"list"_s});
    }

    void levelsAndNames() {
        Write(u"levels.html"_s, "<p>see http://plain.example/ here</p>\r\n"
                                "<a class=\"x\" href=\"http://class.example/\">C</a>\r\n"
                                "<a href=\"rel/page\"><img alt=\"Alt text\" src=\"i.png\"></a>\r\n");
        const QByteArray base = QUrl::fromLocalFile(dir_->path() + u'/').toEncoded();
        // "a href" passes over the anchor with another attribute first and the relative target;
        // "http:" takes the plain address too; the tags take every anchor, resolved.
        Compare(Run({u"--names"_s, u"alt"_s, u"--format"_s, u"tsv"_s, u"levels.html"_s}), 1, {},
                "orvane-cli: levels.html: データなし: 「levels.html」に、\n  ﾘﾝｸﾃﾞｰﾀが存在しません。\n"
                "  ﾘｽﾄを作成できません。\n"
                "orvane-cli: 作成失敗: 作成対象となるﾃﾞｰﾀが存在しません、ﾘｽﾄは作成できません。\n");
        // An address in plain text runs to the first ">", and its name is the text up to the next "</a>".
        Compare(Run({u"--level"_s, u"http"_s, u"--format"_s, u"tsv"_s, u"levels.html"_s}), 0,
                "C\thttp://plain.example/ here</p\n", {});
        Compare(
            Run({u"--level"_s, u"tags"_s, u"--names"_s, u"alt"_s, u"--format"_s, u"tsv"_s, u"levels.html"_s}),
            0, "C\thttp://class.example/\nAlt text\t" + base + "rel/page\n", {});
    }

    void undeclaredShiftJisPage() {
        // Read as the window reads it on a UTF-8 system: the bytes do not fit, the detector tells
        // Shift_JIS (loaded for this page only).
        const QByteArray prose =
            "このページでは、日本語の文書を集めたリンク集を紹介します。利用者の皆さんが毎日使う資料や、"
            "新しく公開された記事の一覧を、分野ごとに整理して掲載しています。各項目の名前をクリックすると、"
            "その文書の最新版が表示されます。古い版は保管庫のページから探すことができます。";
        Write(u"sjis.html"_s, ShiftJis("<html><body><p>" + prose +
                                       "</p>\r\n<a href=\"http://x/guide\">日本語の手引き</a>\r\n"
                                       "<a href=\"http://x/archive\">保管庫</a></body></html>\r\n"));
        Compare(Run({u"--format"_s, u"tsv"_s, u"sjis.html"_s}), 0,
                "日本語の手引き\thttp://x/guide\n保管庫\thttp://x/archive\n", {});
    }

    void severalInputsIntoOneList() {
        WebServer server;
        server.Route("/start", [](const WebServer::Request&) { return Redirect("/pages/web.html"); });
        server.Serve("/pages/web.html", "<a href=\"http://web.example/\"></a><a href=\"sub/rel.html\">R</a>");
        Write(u"second.html"_s, "<a href=\"http://second.example/\"></a>");
        // Placeholders count on from the list's entries, so across the inputs; the fetched page's
        // relative link resolves against the address it finally came from; the parser takes the
        // control character out of the name; standard input's relative links resolve as those of a
        // file in the working directory.
        const QByteArray stdinPage = "<a href=\"http://stdin.example/\">In</a><a href=\"rel.html\">Here</a>";
        const QByteArray base = QUrl::fromLocalFile(dir_->path() + u'/').toEncoded();
        const QString url = server.Url(u"/start"_s);
        const QByteArray expected =
            "Top\thttp://a.example/1\n"
            "a,b \"q\" \\ x y\xef\xbf\xbd\thttp://b.example/?q=1&r=2\n"
            "\xe6\x97\xa5\xe6\x9c\xac\thttp://c.example/\xe6\x97\xa5\n"
            "(\xe5\x90\x8d\xe7\xa7\xb0\xe7\x84\xa1\xe3\x81\x97 3)\thttp://d.example/\n"
            "In\thttp://stdin.example/\n"
            "Here\t" +
            base +
            "rel.html\n"
            "(\xe5\x90\x8d\xe7\xa7\xb0\xe7\x84\xa1\xe3\x81\x97 6)\thttp://web.example/\n"
            "R\t" +
            server.Url(u"/pages/sub/rel.html"_s).toUtf8() +
            "\n"
            "(\xe5\x90\x8d\xe7\xa7\xb0\xe7\x84\xa1\xe3\x81\x97 8)\thttp://second.example/\n";
        Compare(Run({u"--level"_s, u"tags"_s, u"--format"_s, u"tsv"_s, u"page.html"_s, u"-"_s, url,
                     u"second.html"_s},
                    stdinPage),
                0, expected, {});
    }

    void fetchedPages_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        // The window's limit holds for the page as stored: in quotes and with a line end.
        QTest::newRow("127,996 bytes")
            << QStringList{u"/127996"_s} << 0 << QByteArray("http://a.example/1\r\n") << QByteArray();
        QTest::newRow("127,997 bytes")
            << QStringList{u"/127997"_s} << 3 << QByteArray()
            << QByteArray(
                   "orvane-cli: @URL@: ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ: 入力ファイルサイズ：128001 byte\n"
                   "  ファイルサイズが128Kバイトを越えるファイルは処理できません。\n  処理を中止します。\n"
                   "orvane-cli: 作成失敗: 作成対象となるﾃﾞｰﾀが存在しません、ﾘｽﾄは作成できません。\n");
        QTest::newRow("not found")
            << QStringList{u"/missing"_s, u"/127996"_s} << 3 << QByteArray("http://a.example/1\r\n")
            << QByteArray("orvane-cli: @URL@: Orvane: 指定されたURLから情報を取得できませんでした。\n  "
                          "処理を中断します。\n");
        QTest::newRow("through the proxy")
            << QStringList{u"--proxy"_s, u"PROXY"_s, u"http://orvane.invalid/p.html"_s} << 0
            << QByteArray("http://proxied.example/\r\n") << QByteArray();
        QTest::newRow("proxy refusing")
            << QStringList{u"--proxy"_s, u"127.0.0.1:1"_s, u"http://orvane.invalid/p.html"_s} << 3
            << QByteArray()
            << QByteArray("orvane-cli: http://orvane.invalid/p.html: Orvane: "
                          "指定されたURLから情報を取得できませんでした。\n  処理を中断します。\n"
                          "orvane-cli: 作成失敗: 作成対象となるﾃﾞｰﾀが存在しません、ﾘｽﾄは作成できません。\n");
    }
    void fetchedPages() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        WebServer server;
        for (const qsizetype size : {127996, 127997})
            server.Serve("/" + QByteArray::number(size),
                         Pad("<a href=\"http://a.example/1\">Top</a>\r\n", size));
        server.Fallback([](const WebServer::Request& r) {
            return r.target() == "http://orvane.invalid/p.html"
                       ? Page("<a href=\"http://proxied.example/\">P</a>")
                       : Page("no", 404);
        });
        const QString port = QString::number(server.Port());
        QStringList resolved;
        for (const QString& a : std::as_const(args))
            resolved << (a.startsWith(u'/') ? server.Url(a) : a == u"PROXY" ? u"127.0.0.1:"_s + port : a);
        const QByteArray url = resolved.first().toUtf8();
        Compare(Run(resolved), status, out, QByteArray(err).replace("@URL@", url));
    }

    void standardInput() {
        // Read whole into a file first; beyond the bound only the size is kept, which the message shows.
        const QByteArray small = "<a href=\"http://stdin.example/\">S</a>";
        Compare(Run({u"-"_s}, small), 0, "http://stdin.example/\r\n", {});
        Compare(Run({u"-"_s}, Pad(kPage, 200000)), 3, {},
                "orvane-cli: -: ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ: 入力ファイルサイズ：200000 byte\n"
                "  ファイルサイズが128Kバイトを越えるファイルは処理できません。\n  処理を中止します。\n"
                "orvane-cli: 作成失敗: 作成対象となるﾃﾞｰﾀが存在しません、ﾘｽﾄは作成できません。\n");
        // The second reading finds standard input at its end.
        Compare(Run({u"-"_s, u"-"_s}, small), 3, "http://stdin.example/\r\n",
                "orvane-cli: -: ﾌｧｲﾙｻｲｽﾞｴﾗｰ: 入力ファイルサイズ：0 byte\n"
                "  ファイルサイズが0バイトのファイルは処理できません。\n  処理を中止します。\n");
    }

    void shortcuts_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QStringList>("files"); // the folder's files afterwards, with Old.url's content last
        const QByteArray reserved = "orvane-cli: ﾌｧｲﾙ名変更確認: 出力ﾌｧｲﾙ名[con]は、予約ﾃﾞﾊﾞｲｽ名です。\n"
                                    "  このﾌｧｲﾙ名は全角文字（２ﾊﾞｲﾄ文字）に変換されます。\n";
        const QByteArray kept =
            "orvane-cli: ﾌｧｲﾙ名の重複: 同名のﾌｧｲﾙが存在するため、上書きせずに残しました。\n"
            "  out/Old.url\n";
        const QByteArray done = "orvane-cli: 完了: ﾊﾟｽ : [out] に、\n  ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。\n";
        const QStringList written{u"Old.url"_s, u"Top.url"_s, u"a／b.url"_s, u"ｃｏｎ.url"_s};
        const QString oldKept = u"[InternetShortcut]\r\nURL=old\r\n[Other]\r\nX=1\r\n"_s;
        const QString oldReplaced = u"[InternetShortcut]\r\nURL=http://old.example/\r\n[Other]\r\nX=1\r\n"_s;
        // A forbidden character and a reserved name converted as the window converts them, without
        // asking; an existing file kept and reported.
        QTest::newRow("existing file kept")
            << QStringList{u"--shortcuts"_s, u"out/"_s, u"sc.html"_s} << 0 << QByteArray()
            << reserved + kept + done << (written + QStringList{oldKept});
        // Only the section is replaced; the list written beside holds the names as taken.
        QTest::newRow("replaced with --overwrite")
            << QStringList{u"--overwrite"_s, u"--shortcuts=out"_s, u"--output=-"_s, u"--format=name-url"_s,
                           u"sc.html"_s}
            << 0
            << QByteArray("Top,http://top.example/\r\na/b,http://ab.example/\r\ncon,http://con.example/\r\n"
                          "Old,http://old.example/\r\n")
            << reserved + done << (written + QStringList{oldReplaced});
        QTest::newRow("nothing usable left of a name")
            << QStringList{u"--shortcuts"_s, u"out"_s, u"ctl.html"_s} << 4 << QByteArray()
            << QByteArray("orvane-cli: 作成失敗: ﾊﾟｽ : [out] に、\n  ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。\n\n"
                          "  次のﾌｧｲﾙは作成できませんでした：\n  \xef\xbf\xbd\xef\xbf\xbd\n")
            << QStringList{u"Old.url"_s, u"Top.url"_s, oldKept};
        QTest::newRow("missing folder")
            << QStringList{u"--shortcuts"_s, u"nowhere"_s, u"sc.html"_s} << 4 << QByteArray()
            << QByteArray("orvane-cli: 作成失敗: 出力先のﾌｫﾙﾀﾞ「nowhere」がありません。\n")
            << QStringList{u"Old.url"_s, oldKept};
    }
    void shortcuts() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(QStringList, files);
        Write(u"sc.html"_s,
              "<a href=\"http://top.example/\">Top</a>\r\n<a href=\"http://ab.example/\">a/b</a>\r\n"
              "<a href=\"http://con.example/\">con</a>\r\n<a href=\"http://old.example/\">Old</a>\r\n");
        // A name of controls only: nothing of it can name a file, and none reaches the terminal.
        Write(u"ctl.html"_s,
              "<a href=\"http://top.example/\">Top</a><a href=\"http://ctl.example/\">\x1b\x07</a>");
        QVERIFY(QDir().mkdir(Path(u"out"_s)));
        Write(u"out/Old.url"_s, "[InternetShortcut]\r\nURL=old\r\n[Other]\r\nX=1\r\n");
        Compare(Run(args), status, out, err);
        const QString oldContent = files.takeLast();
        QStringList present =
            QDir(Path(u"out"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        present.sort();
        QCOMPARE(present, files);
        QCOMPARE(QString::fromUtf8(Read(Path(u"out/Old.url"_s))), oldContent);
        for (const auto& [file, url] : {std::pair{u"Top.url"_s, "http://top.example/"},
                                        {u"a／b.url"_s, "http://ab.example/"},
                                        {u"ｃｏｎ.url"_s, "http://con.example/"}})
            if (files.contains(file))
                QCOMPARE(Read(Path(u"out/"_s + file)),
                         "[InternetShortcut]\r\nURL=" + QByteArray(url) + "\r\n");
    }

    void exitStatuses_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray noList =
            "orvane-cli: 作成失敗: 作成対象となるﾃﾞｰﾀが存在しません、ﾘｽﾄは作成できません。\n";
        const QByteArray usage = "\n  使い方は orvane-cli --help で表示されます。\n";
        const QByteArray pageOut = "http://a.example/1\r\nhttp://b.example/?q=1&r=2\r\n"
                                   "http://c.example/\xe6\x97\xa5\r\nhttp://d.example/\r\n";
        QTest::newRow("missing file, the others still converted")
            << QStringList{u"missing.html"_s, u"page.html"_s} << 3 << pageOut
            << QByteArray(
                   "orvane-cli: missing.html: ﾌｧｲﾙｵｰﾌﾟﾝ失敗: 入力ﾌｧｲﾙ「missing.html」を開けません。\n");
        QTest::newRow("folder") << QStringList{u"tmp"_s} << 3 << QByteArray()
                                << "orvane-cli: tmp: ﾌｧｲﾙｵｰﾌﾟﾝ失敗: 入力ﾌｧｲﾙ「tmp」を開けません。\n" + noList;
        QTest::newRow("0 bytes")
            << QStringList{u"empty.html"_s} << 3 << QByteArray()
            << "orvane-cli: empty.html: ﾌｧｲﾙｻｲｽﾞｴﾗｰ: 入力ファイルサイズ：0 byte\n"
               "  ファイルサイズが0バイトのファイルは処理できません。\n  処理を中止します。\n" +
                   noList;
        QTest::newRow("128,000 bytes") << QStringList{u"128000.html"_s} << 0 << pageOut << QByteArray();
        QTest::newRow("128,001 bytes")
            << QStringList{u"128001.html"_s} << 3 << QByteArray()
            << "orvane-cli: 128001.html: ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ: 入力ファイルサイズ：128001 byte\n"
               "  ファイルサイズが128Kバイトを越えるファイルは処理できません。\n  処理を中止します。\n" +
                   noList;
        QTest::newRow("no link")
            << QStringList{u"--format"_s, u"json"_s, u"text.html"_s} << 1 << QByteArray()
            << "orvane-cli: text.html: データなし: 「text.html」に、\n  ﾘﾝｸﾃﾞｰﾀが存在しません。\n"
               "  ﾘｽﾄを作成できません。\n" +
                   noList;
        QTest::newRow("unknown option") << QStringList{u"--lvl"_s, u"http"_s, u"page.html"_s} << 2
                                        << QByteArray() << "orvane-cli: 不明なｵﾌﾟｼｮﾝです：--lvl" + usage;
        QTest::newRow("unknown value")
            << QStringList{u"--level=tag"_s, u"page.html"_s} << 2 << QByteArray()
            << "orvane-cli: ｵﾌﾟｼｮﾝ --level の値「tag」は使えません（a-href、http、tagsのいずれかです）。" +
                   usage;
        QTest::newRow("missing value") << QStringList{u"page.html"_s, u"--output"_s} << 2 << QByteArray()
                                       << "orvane-cli: ｵﾌﾟｼｮﾝ --output には値が必要です。" + usage;
        QTest::newRow("empty input") << QStringList{u"page.html"_s, QString()} << 2 << QByteArray()
                                     << "orvane-cli: 空の入力は指定できません。" + usage;
        QTest::newRow("no input") << QStringList{u"--format"_s, u"tsv"_s} << 2 << QByteArray()
                                  << "orvane-cli: 入力が指定されていません。" + usage;
        QTest::newRow("unusable proxy")
            << QStringList{u"--proxy"_s, u"host:port"_s, u"page.html"_s} << 2 << QByteArray()
            << "orvane-cli: ﾌﾟﾛｷｼｻｰﾊﾞｰのｱﾄﾞﾚｽ「host:port」は使えません（HOST:PORT）。" + usage;
        QTest::newRow("unwritable output")
            << QStringList{u"--output"_s, u"no/such/dir/list.lst"_s, u"page.html"_s} << 4 << QByteArray()
            << QByteArray("orvane-cli: 作成失敗: ﾘｽﾄﾌｧｲﾙを出力できませんでした。\n  no/such/dir/list.lst\n");
        QTest::newRow("output is a folder")
            << QStringList{u"--output=tmp"_s, u"missing.html"_s, u"page.html"_s} << 4 << QByteArray()
            << QByteArray("orvane-cli: missing.html: ﾌｧｲﾙｵｰﾌﾟﾝ失敗: 入力ﾌｧｲﾙ「missing.html」を開けません。\n"
                          "orvane-cli: 作成失敗: ﾘｽﾄﾌｧｲﾙを出力できませんでした。\n  tmp\n");
        QTest::newRow("-- ends the options")
            << QStringList{u"--"_s, u"--help"_s} << 3 << QByteArray()
            << "orvane-cli: --help: ﾌｧｲﾙｵｰﾌﾟﾝ失敗: 入力ﾌｧｲﾙ「--help」を開けません。\n" + noList;
    }
    void exitStatuses() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        Write(u"empty.html"_s, {});
        Write(u"text.html"_s, "<p>no anchors</p>");
        Write(u"128000.html"_s, Pad(kPage, 128000));
        Write(u"128001.html"_s, Pad(kPage, 128001));
        Compare(Run(args), status, out, err);
    }

    void help() {
        const CliResult r = Run({u"--help"_s});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        QVERIFY(r.out.startsWith("使い方: orvane-cli [ｵﾌﾟｼｮﾝ] 入力...\n"));
        for (const char* option :
             {"--level", "--names", "--proxy", "--format", "--output", "--shortcuts", "--overwrite"})
            QVERIFY2(r.out.contains(option), option);
    }
};

QTEST_GUILESS_MAIN(tst_cli)

#include "tst_cli.moc"
