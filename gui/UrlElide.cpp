#include "gui/UrlElide.h"

#include <QFontMetrics>

QString elideUrl(const QString& url, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(url) <= width)
        return url;
    // The host ends at the first '/', '?' or '#' after "//".
    const qsizetype scheme = url.indexOf(QLatin1String("//"));
    qsizetype hostEnd = -1;
    if (scheme >= 0) {
        for (qsizetype i = scheme + 2; i < url.size(); ++i) {
            const QChar c = url[i];
            if (c == QLatin1Char('/') || c == QLatin1Char('?') || c == QLatin1Char('#')) {
                hostEnd = i;
                break;
            }
        }
    }
    if (hostEnd < 0)
        return metrics.elidedText(url, Qt::ElideRight, width);
    const QString head = url.left(hostEnd);
    const int headWidth = metrics.horizontalAdvance(head);
    const QString ellipsis(QChar(0x2026));
    const int available = width - headWidth;
    if (available < metrics.horizontalAdvance(ellipsis + QLatin1String("mm")))
        return metrics.elidedText(url, Qt::ElideRight, width);
    // The path keeps both its ends when there is room for a few characters
    // of each, else its end.
    const QString path = url.mid(hostEnd);
    const bool roomy = available >= metrics.averageCharWidth() * 12;
    return head + metrics.elidedText(path, roomy ? Qt::ElideMiddle : Qt::ElideLeft, available);
}
