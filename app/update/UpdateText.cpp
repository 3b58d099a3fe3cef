#include "UpdateText.h"

namespace tunola {

bool IsWebAddress(const QUrl& url) {
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

QString UpdateTextHtml(const QString& parameter) {
    QString html;
    // Words and the blanks between them, in order; a word that is a web address is linked.
    qsizetype i = 0;
    while (i < parameter.size()) {
        qsizetype j = i;
        const bool blank = parameter.at(i).isSpace();
        while (j < parameter.size() && parameter.at(j).isSpace() == blank)
            ++j;
        const QString part = parameter.mid(i, j - i);
        i = j;
        if (blank) {
            html += part.contains(QLatin1Char('\n')) ? QStringLiteral("<br>") : QStringLiteral(" ");
            continue;
        }
        const QUrl url(part, QUrl::StrictMode);
        if (part.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
            part.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)) {
            if (IsWebAddress(url)) {
                html += QStringLiteral("<a href=\"%1\">%2</a>")
                            .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                 part.toHtmlEscaped());
                continue;
            }
        }
        html += part.toHtmlEscaped();
    }
    return html;
}

} // namespace tunola
