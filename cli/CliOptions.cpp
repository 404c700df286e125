#include "cli/CliOptions.h"

#include "core/Text.h"

#include <array>
#include <string_view>
#include <utility>

namespace orvane::cli {

namespace {

template <typename T> struct Choice {
    std::string_view name;
    T value;
};

constexpr std::array<Choice<std::int16_t>, 3> kLevels{{{"a-href", 0}, {"http", 1}, {"tags", 2}}};
constexpr std::array<Choice<std::int16_t>, 2> kNames{{{"text", 0}, {"alt", 1}}};
constexpr std::array<Choice<ListFormat>, 4> kFormats{{{"url", ListFormat::Url},
                                                      {"name-url", ListFormat::NameUrl},
                                                      {"tsv", ListFormat::Tsv},
                                                      {"json", ListFormat::Json}}};

template <typename T, std::size_t N>
bool Pick(const std::array<Choice<T>, N>& choices, std::string_view text, T& out) {
    for (const auto& c : choices) {
        if (c.name == text) {
            out = c.value;
            return true;
        }
    }
    return false;
}

template <typename T, std::size_t N> std::u16string ChoiceList(const std::array<Choice<T>, N>& choices) {
    std::u16string out;
    for (const auto& c : choices) {
        if (!out.empty())
            out += u"、";
        out += FromUtf8(c.name);
    }
    return out;
}

std::u16string Quoted(std::string_view text) {
    return u"「" + FromUtf8(text) + u"」";
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine parsed;
    CliOptions& o = parsed.options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.size() < 2 || arg[0] != '-') {
            // The conversion passes over an empty target without a word.
            if (arg.empty()) {
                parsed.error = u"空の入力は指定できません。";
                return parsed;
            }
            o.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
            inlineValue = std::string(name.substr(eq + 1));
            name = name.substr(0, eq);
        }
        const auto flag = [&](bool& target) {
            if (inlineValue) {
                parsed.error = u"ｵﾌﾟｼｮﾝ " + FromUtf8(name) + u" は値をとりません。";
                return false;
            }
            target = true;
            return true;
        };
        const auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                parsed.error = u"ｵﾌﾟｼｮﾝ " + FromUtf8(name) + u" には値が必要です。";
                return false;
            }
            out = args[++i];
            return true;
        };
        const auto choice = [&](const auto& choices, auto& target) {
            std::string text;
            if (!value(text))
                return false;
            if (Pick(choices, text, target))
                return true;
            parsed.error = u"ｵﾌﾟｼｮﾝ " + FromUtf8(name) + u" の値" + Quoted(text) + u"は使えません（" +
                           ChoiceList(choices) + u"のいずれかです）。";
            return false;
        };
        const auto path = [&](std::optional<std::string>& target) {
            std::string text;
            if (!value(text))
                return false;
            if (text.empty()) {
                parsed.error = u"ｵﾌﾟｼｮﾝ " + FromUtf8(name) + u" の値が空です。";
                return false;
            }
            target = std::move(text);
            return true;
        };
        bool ok = false;
        if (name == "--help" || name == "-h")
            ok = flag(o.help);
        else if (name == "--overwrite")
            ok = flag(o.overwrite);
        else if (name == "--level")
            ok = choice(kLevels, o.linkLevel);
        else if (name == "--names")
            ok = choice(kNames, o.nameMode);
        else if (name == "--format")
            ok = choice(kFormats, o.format);
        else if (name == "--proxy")
            ok = path(o.proxy);
        else if (name == "--output")
            ok = path(o.output);
        else if (name == "--shortcuts")
            ok = path(o.shortcuts);
        else
            parsed.error = u"不明なｵﾌﾟｼｮﾝです：" + FromUtf8(name);
        if (!ok)
            return parsed;
    }
    if (!o.help && o.inputs.empty())
        parsed.error = u"入力が指定されていません。";
    return parsed;
}

std::u16string UsageText() {
    return u"使い方: orvane-cli [ｵﾌﾟｼｮﾝ] 入力...\n"
           u"HTML文書のﾘﾝｸを1つのﾘｽﾄに集め、ﾘｽﾄﾌｧｲﾙまたはｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄとして出力します。\n"
           u"入力はﾌｧｲﾙ、http:// または https:// で始まるURL、標準入力を表す - "
           u"で、指定した順に変換されます。\n"
           u"\n"
           u"  --level a-href|http|tags  ﾘﾝｸの検出ﾚﾍﾞﾙ（既定: a-href）\n"
           u"  --names text|alt          名称: ﾀｸﾞを除いたﾃｷｽﾄ、または alt= の値（既定: text）\n"
           u"  --proxy HOST:PORT         URLをこのﾌﾟﾛｷｼｻｰﾊﾞｰ経由で取得します\n"
           u"  --format url|name-url|tsv|json\n"
           u"                            出力形式（既定: url）。url と name-url はﾘｽﾄﾌｧｲﾙの2つの形式\n"
           u"  --output FILE             ﾘｽﾄをFILEに出力します（既定: 標準出力）\n"
           u"  --shortcuts DIR           ﾘﾝｸごとにDIRに .url ﾌｧｲﾙを作成します\n"
           u"  --overwrite               既存のｼｮｰﾄｶｯﾄﾌｧｲﾙを置き換えます（既定: 残して報告）\n"
           u"  --help                    この説明を表示します\n"
           u"\n"
           u"終了ｽﾃｰﾀｽ: 0 ﾘﾝｸを出力した、1 ﾘﾝｸが見つからない、2 使い方の誤り、\n"
           u"            3 読めない入力があった（他の入力は変換済み）、4 出力できなかった\n"
           u"詳しくは man orvane-cli を参照して下さい。\n";
}

} // namespace orvane::cli
