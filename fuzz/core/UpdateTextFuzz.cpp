// Any parameter the service hands the updater: what the dialog shows of it holds no markup but
// its own, every "<" opening a link to a web address, closing one or breaking a line.

#include "UpdateText.h"

#include <QRegularExpression>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString html = tunola::UpdateTextHtml(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    static const QRegularExpression tag(QStringLiteral("<(a href=\"([^\"]*)\">|/a>|br>)"));
    qsizetype at = 0;
    while ((at = html.indexOf(QLatin1Char('<'), at)) >= 0) {
        const QRegularExpressionMatch m = tag.match(html, at, QRegularExpression::NormalMatch,
                                                    QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch())
            std::abort();
        QString href = m.captured(2);
        if (m.capturedLength(2) > 0 &&
            !tunola::IsWebAddress(
                QUrl(href.replace(QStringLiteral("&amp;"), QStringLiteral("&")), QUrl::StrictMode)))
            std::abort();
        at = m.capturedEnd();
    }
    return 0;
}
