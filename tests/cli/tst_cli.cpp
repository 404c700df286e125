// orvane-cli end to end, through its binary. One table of runs, each compared whole: standard output
// byte for byte, standard error, the exit status and the folder out/ afterwards. Every run starts in
// a fresh working directory with the same files and a web server of the test, and must leave its
// temporary directory empty.

#include "support/WebServer.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using orvane::test::Page;
using orvane::test::Redirect;
using orvane::test::WebServer;

namespace {

struct CliResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Names with the characters each format treats differently, a reference in an address, a Japanese
// name and address, and a link without a name.
const QByteArray kPage = "<html><head><meta charset=\"utf-8\"></head><body>\r\n"
                         "<a href=\"http://a.example/1\">Top</a>\r\n"
                         "<a href=\"http://b.example/?q=1&amp;r=2\">a,b \"q\" \\ x\ty\x01</a>\r\n"
                         "<a href=\"http://c.example/\xe6\x97\xa5\">\xe6\x97\xa5\xe6\x9c\xac</a>\r\n"
                         "<a href=\"http://d.example/\"><img src=\"i.png\"></a>\r\n"
                         "</body></html>\r\n";
const QByteArray kOld = "[InternetShortcut]\r\nURL=old\r\n[Other]\r\nX=1\r\n";

// Spaces before the last line end bring the page to the exact size.
QByteArray Pad(QByteArray page, qsizetype size) {
    return page.insert(page.size() - 2, QByteArray(size - page.size(), ' '));
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
    // Every file of out/ by name, each followed by its bytes.
    QByteArray Folder() const {
        QByteArray all;
        const QStringList names =
            QDir(Path(u"out"_s))
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QString& name : names) {
            QFile f(Path(u"out/"_s + name));
            all += name.toUtf8() + ": " + (f.open(QIODevice::ReadOnly) ? f.readAll() : "(unreadable)");
        }
        return all;
    }

    // Runs the program in the scratch directory, feeding `input` to its standard input. The event
    // loop keeps running meanwhile, so the test's web server answers.
    CliResult Run(const QStringList& args, const QByteArray& input) {
        QProcess p;
        p.setWorkingDirectory(dir_->path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        env.insert(u"TMPDIR"_s, tmp_);
        p.setProcessEnvironment(env);
        QEventLoop loop;
        connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
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

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        tmp_ = Path(u"tmp"_s);
        QVERIFY(QDir().mkdir(tmp_) && QDir().mkdir(Path(u"out"_s)));
        Write(u"out/Old.url"_s, kOld);
        Write(u"page.html"_s, kPage);
        Write(u"second.html"_s, "<a href=\"http://second.example/\"></a>");
        Write(u"levels.html"_s, "<p>see http://plain.example/ here</p>\r\n"
                                "<a class=\"x\" href=\"http://class.example/\">C</a>\r\n"
                                "<a href=\"rel/page\"><img alt=\"Alt text\" src=\"i.png\"></a>\r\n");
        // Undeclared: the bytes do not fit UTF-8, the detector (loaded for this page only) tells Shift_JIS.
        Write(u"sjis.html"_s,
              QStringEncoder("Shift_JIS")
                  .encode(u"<html><body><p>このページでは、日本語の文書を集めたリンク集を紹介します。"
                          "利用者の皆さんが毎日使う資料や、新しく公開された記事の一覧を、分野ごとに整理して"
                          "掲載しています。各項目の名前をクリックすると、その文書の最新版が表示されます。"
                          "古い版は保管庫のページから探すことができます。</p>\r\n"
                          "<a href=\"http://x/guide\">日本語の手引き</a>\r\n"
                          "<a href=\"http://x/archive\">保管庫</a></body></html>\r\n"_s));
        Write(u"sc.html"_s,
              "<a href=\"http://top.example/\">Top</a>\r\n<a href=\"http://ab.example/\">a/b</a>\r\n"
              "<a href=\"http://con.example/\">con</a>\r\n<a href=\"http://old.example/\">Old</a>\r\n");
        // A name of controls only: nothing of it can name a file, and none reaches the terminal.
        Write(u"ctl.html"_s,
              "<a href=\"http://top.example/\">Top</a><a href=\"http://ctl.example/\">\x1b\x07</a>");
    }

    // In the arguments "@/x" is the test server's /x and "@PROXY" its address; in the outputs
    // "@SERVER" is its base and "@BASE/" the working directory's file URL.
    void runs_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("folder"); // empty: Old.url alone, unchanged
        const QByteArray noList =
            "orvane-cli: 作成失敗: 作成対象となるﾃﾞｰﾀが存在しません、ﾘｽﾄは作成できません。\n";
        const QByteArray usage = "\n  使い方は orvane-cli --help で表示されます。\n";
        const QByteArray urls = "http://a.example/1\r\nhttp://b.example/?q=1&r=2\r\n"
                                "http://c.example/\xe6\x97\xa5\r\nhttp://d.example/\r\n";
        const QByteArray nameUrl = "Top,http://a.example/1\r\n"
                                   "a,b \"q\" \\ x\ty\x01,http://b.example/?q=1&r=2\r\n"
                                   "日本,http://c.example/\xe6\x97\xa5\r\n(名称無し 3),http://d.example/\r\n";
        const QByteArray tsv = "Top\thttp://a.example/1\na,b \"q\" \\ x y\x01\thttp://b.example/?q=1&r=2\n"
                               "日本\thttp://c.example/\xe6\x97\xa5\n(名称無し 3)\thttp://d.example/\n";
        const QByteArray json =
            "[\n  {\"name\": \"Top\", \"url\": \"http://a.example/1\"},\n"
            "  {\"name\": \"a,b \\\"q\\\" \\\\ x\\ty\\u0001\", \"url\": \"http://b.example/?q=1&r=2\"},\n"
            "  {\"name\": \"日本\", \"url\": \"http://c.example/\xe6\x97\xa5\"},\n"
            "  {\"name\": \"(名称無し 3)\", \"url\": \"http://d.example/\"}\n]\n";
        const QByteArray old = "Old.url: " + kOld;
        // The arguments are separated by single spaces (a trailing space: an empty last argument).
        const auto row = [](const char* name, const char* args, const QByteArray& in, const QByteArray& out,
                            const QByteArray& err, int status, const QByteArray& folder = {}) {
            QTest::newRow(name) << QString::fromUtf8(args).split(u' ') << in << out << err << status
                                << folder;
        };
        const auto tooBig = [](const QByteArray& input, int size) -> QByteArray {
            return "orvane-cli: " + input + ": ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ: 入力ファイルサイズ：" +
                   QByteArray::number(size) +
                   " byte\n  ファイルサイズが128Kバイトを越えるファイルは処理できません。\n  "
                   "処理を中止します。\n";
        };
        const auto unopened = [](const QByteArray& input) -> QByteArray {
            return "orvane-cli: " + input + ": ﾌｧｲﾙｵｰﾌﾟﾝ失敗: 入力ﾌｧｲﾙ「" + input + "」を開けません。\n";
        };

        // Each format byte for byte (the default, url, in "missing file" below).
        row("name-url", "--format name-url page.html", {}, nameUrl, {}, 0);
        row("tsv", "--format=tsv page.html", {}, tsv, {}, 0);
        row("json", "--format json page.html", {}, json, {}, 0);
        // The same bytes go to a file (one format stands for all: the list is built once).
        row("--output", "--format json page.html --output out/list", {}, {}, {}, 0, old + "list: " + json);

        // "a href" passes over the anchor with another attribute first and the relative target; "http:"
        // takes the plain address, which runs to the first ">", named by the text up to the next "</a>";
        // the tags take every anchor, resolved.
        row("a href, nothing found", "--names alt --format tsv levels.html", {}, {},
            "orvane-cli: levels.html: データなし: 「levels.html」に、\n  ﾘﾝｸﾃﾞｰﾀが存在しません。\n"
            "  ﾘｽﾄを作成できません。\n" +
                noList,
            1);
        row("http", "--level http --format tsv levels.html", {}, "C\thttp://plain.example/ here</p\n", {}, 0);
        row("tags, alt", "--level tags --names alt --format tsv levels.html", {},
            "C\thttp://class.example/\nAlt text\t@BASE/rel/page\n", {}, 0);
        row("undeclared Shift_JIS", "--format tsv sjis.html", {},
            "日本語の手引き\thttp://x/guide\n保管庫\thttp://x/archive\n", {}, 0);

        // Placeholders count on across the inputs; the fetched page's relative link resolves against
        // the address it finally came from, standard input's as a file's in the working directory; the
        // parser takes the control character out of the name.
        row("several inputs into one list", "--level tags --format tsv page.html - @/start second.html",
            "<a href=\"http://stdin.example/\">In</a><a href=\"rel.html\">Here</a>",
            "Top\thttp://a.example/1\na,b \"q\" \\ x y\xef\xbf\xbd\thttp://b.example/?q=1&r=2\n"
            "日本\thttp://c.example/\xe6\x97\xa5\n(名称無し 3)\thttp://d.example/\n"
            "In\thttp://stdin.example/\nHere\t@BASE/rel.html\n(名称無し 6)\thttp://web.example/\n"
            "R\t@SERVER/pages/sub/rel.html\n(名称無し 8)\thttp://second.example/\n",
            {}, 0);

        // The window's limit holds for a fetched page as stored: in quotes and with a line end.
        row("fetched, 127,996 bytes", "@/127996", {}, "http://a.example/1\r\n", {}, 0);
        row("fetched, 127,997 bytes", "@/127997", {}, {}, tooBig("@SERVER/127997", 128001) + noList, 3);
        row("fetched, not found", "@/missing @/127996", {}, "http://a.example/1\r\n",
            "orvane-cli: @SERVER/missing: Orvane: 指定されたURLから情報を取得できませんでした。\n  "
            "処理を中断します。\n",
            3);
        row("through the proxy", "--proxy @PROXY http://orvane.invalid/p.html", {},
            "http://proxied.example/\r\n", {}, 0);

        // Standard input is read whole into a file first; beyond the bound only its size is kept. A
        // second reading finds it at its end.
        row("standard input, 200,000 bytes", "-", Pad(kPage, 200000), {}, tooBig("-", 200000) + noList, 3);
        row("standard input twice", "- -", "<a href=\"http://stdin.example/\">S</a>",
            "http://stdin.example/\r\n",
            "orvane-cli: -: ﾌｧｲﾙｻｲｽﾞｴﾗｰ: 入力ファイルサイズ：0 byte\n"
            "  ファイルサイズが0バイトのファイルは処理できません。\n  処理を中止します。\n",
            3);

        // A forbidden character and a reserved name converted as the window converts them, without
        // asking; an existing file kept and reported, or only its section replaced with --overwrite.
        const QByteArray reserved = "orvane-cli: ﾌｧｲﾙ名変更確認: 出力ﾌｧｲﾙ名[con]は、予約ﾃﾞﾊﾞｲｽ名です。\n"
                                    "  このﾌｧｲﾙ名は全角文字（２ﾊﾞｲﾄ文字）に変換されます。\n";
        const QByteArray done = "orvane-cli: 完了: ﾊﾟｽ : [out] に、\n  ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。\n";
        const QByteArray written = "Top.url: [InternetShortcut]\r\nURL=http://top.example/\r\n"
                                   "a／b.url: [InternetShortcut]\r\nURL=http://ab.example/\r\n"
                                   "ｃｏｎ.url: [InternetShortcut]\r\nURL=http://con.example/\r\n";
        row("shortcuts, existing file kept", "--shortcuts out/ sc.html", {}, {},
            reserved +
                "orvane-cli: ﾌｧｲﾙ名の重複: 同名のﾌｧｲﾙが存在するため、上書きせずに残しました。\n  "
                "out/Old.url\n" +
                done,
            0, old + written);
        row("shortcuts, --overwrite, the list beside with the names as taken",
            "--overwrite --shortcuts=out --output=- --format=name-url sc.html", {},
            "Top,http://top.example/\r\na/b,http://ab.example/\r\ncon,http://con.example/\r\n"
            "Old,http://old.example/\r\n",
            reserved + done, 0,
            "Old.url: [InternetShortcut]\r\nURL=http://old.example/\r\n[Other]\r\nX=1\r\n" + written);
        row("shortcuts, nothing usable left of a name", "--shortcuts out ctl.html", {}, {},
            "orvane-cli: 作成失敗: ﾊﾟｽ : [out] に、\n  ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。\n\n"
            "  次のﾌｧｲﾙは作成できませんでした：\n  \xef\xbf\xbd\xef\xbf\xbd\n",
            4, old + "Top.url: [InternetShortcut]\r\nURL=http://top.example/\r\n");
        row("shortcuts, missing folder", "--shortcuts nowhere sc.html", {}, {},
            "orvane-cli: 作成失敗: 出力先のﾌｫﾙﾀﾞ「nowhere」がありません。\n", 4);

        // Every exit status with its message.
        row("missing file, the others still converted", "missing.html page.html", {}, urls,
            unopened("missing.html"), 3);
        row("unknown option", "--lvl http page.html", {}, {}, "orvane-cli: 不明なｵﾌﾟｼｮﾝです：--lvl" + usage,
            2);
        row("unknown value", "--level=tag page.html", {}, {},
            "orvane-cli: ｵﾌﾟｼｮﾝ --level の値「tag」は使えません（a-href、http、tagsのいずれかです）。" +
                usage,
            2);
        row("missing value", "page.html --output", {}, {},
            "orvane-cli: ｵﾌﾟｼｮﾝ --output には値が必要です。" + usage, 2);
        row("empty input", "page.html ", {}, {}, "orvane-cli: 空の入力は指定できません。" + usage, 2);
        row("no input", "--format tsv", {}, {}, "orvane-cli: 入力が指定されていません。" + usage, 2);
        row("unusable proxy", "--proxy host:port page.html", {}, {},
            "orvane-cli: ﾌﾟﾛｷｼｻｰﾊﾞｰのｱﾄﾞﾚｽ「host:port」は使えません（HOST:PORT）。" + usage, 2);
        row("output is a folder", "--output=tmp missing.html page.html", {}, {},
            unopened("missing.html") + "orvane-cli: 作成失敗: ﾘｽﾄﾌｧｲﾙを出力できませんでした。\n  tmp\n", 4);
        row("-- ends the options", "-- --help", {}, {}, unopened("--help") + noList, 3);
    }
    void runs() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(int, status);
        QFETCH(QByteArray, folder);
        WebServer server;
        server.Route("/start", [](const WebServer::Request&) { return Redirect("/pages/web.html"); });
        server.Serve("/pages/web.html", "<a href=\"http://web.example/\"></a><a href=\"sub/rel.html\">R</a>");
        for (const qsizetype size : {127996, 127997})
            server.Serve("/" + QByteArray::number(size),
                         Pad("<a href=\"http://a.example/1\">Top</a>\r\n", size));
        server.Fallback([](const WebServer::Request& r) {
            return r.target() == "http://orvane.invalid/p.html"
                       ? Page("<a href=\"http://proxied.example/\">P</a>")
                       : Page("no", 404);
        });
        for (QString& a : args)
            a = a.startsWith(u'@')
                    ? a == u"@PROXY" ? u"127.0.0.1:"_s + QString::number(server.Port()) : server.Url(a.mid(1))
                    : a;
        const QByteArray base = server.Url({}).toUtf8();
        const QByteArray fileBase = QUrl::fromLocalFile(dir_->path()).toEncoded();
        const auto resolve = [&](QByteArray bytes) -> QByteArray {
            return bytes.replace("@SERVER", base).replace("@BASE", fileBase);
        };
        const CliResult r = Run(args, in);
        QCOMPARE(QString::fromUtf8(r.err), QString::fromUtf8(resolve(err)));
        QCOMPARE(r.out, resolve(out));
        QCOMPARE(r.status, status);
        QCOMPARE(QString::fromUtf8(Folder()),
                 QString::fromUtf8(folder.isEmpty() ? "Old.url: " + kOld : folder));
    }

    void help() {
        const CliResult r = Run({u"--help"_s}, {});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty() && r.out.startsWith("使い方: orvane-cli [ｵﾌﾟｼｮﾝ] 入力...\n"));
    }
};

QTEST_GUILESS_MAIN(tst_cli)

#include "tst_cli.moc"
