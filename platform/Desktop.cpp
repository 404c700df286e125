#include "platform/Desktop.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>
#include <QTranslator>

namespace orvane::platform {

namespace {

// Captions (labels, buttons, option buttons, frame titles, the menu bar) are drawn through the
// style's drawItemText; this one draws them with the voiced marks joined. Sizes are still measured
// on the text as it is, which is never narrower.
class JoinedMarksStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal, bool enabled,
                      const QString& text, QPalette::ColorRole textRole) const override {
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, JoinVoicedMarks(text), textRole);
    }
};

bool IsHalfwidthKana(QChar c) {
    return c.unicode() >= 0xFF66 && c.unicode() <= 0xFF9D;
}

} // namespace

QString JoinVoicedMarks(const QString& text) {
    QString out = text;
    for (qsizetype i = 1; i < out.size(); ++i) {
        if (!IsHalfwidthKana(out.at(i - 1)))
            continue;
        if (out.at(i) == QChar(0xFF9E))
            out[i] = QChar(0x3099);
        else if (out.at(i) == QChar(0xFF9F))
            out[i] = QChar(0x309A);
    }
    return out;
}

QString PrepareFonts() {
    const QStringList families = QFontDatabase::families();
    if (!families.contains(kDesignFamily)) {
        for (const QString& standIn : kStandInFamilies) {
            if (families.contains(standIn)) {
                QFont::insertSubstitution(kDesignFamily, standIn);
                break;
            }
        }
    }
    const QFont font(kDesignFamily, 9);
    QApplication::setFont(font);
    if (!dynamic_cast<JoinedMarksStyle*>(QApplication::style()))
        QApplication::setStyle(new JoinedMarksStyle);
    return QFontInfo(font).family();
}

void ApplyFrameLook(QGroupBox& frame) {
    // Only the frame itself: the line through the middle of the title, the title cut into it.
    const int half = QFontMetrics(frame.font()).height() / 2;
    frame.setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: %1px; padding: 0; }"
                       "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                       " left: 6px; top: 0px; padding: 0px; }")
            .arg(half));
}

bool LoadQtTranslations() {
    // One translator per catalogue; "qt" names the meta catalogue that pulls in qtbase and the rest.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace orvane::platform
