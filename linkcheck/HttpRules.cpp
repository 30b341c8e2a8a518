#include "HttpRules.h"

#include <QHostAddress>

#include <limits>

LinkStatus statusForHttpCode(int code, bool botChallenge) {
    if (botChallenge)
        return LinkStatus::Blocked;
    if (code >= 200 && code < 300)
        return LinkStatus::Ok;
    if (code == 401 || code == 403 || code == 999)
        return LinkStatus::Blocked;
    if (code == 429)
        return LinkStatus::RateLimited;
    return LinkStatus::Broken;
}

bool isBotChallengeHeader(const QByteArray& name, const QByteArray& value) {
    const QByteArray lowerName = name.trimmed().toLower();
    const QByteArray lowerValue = value.trimmed().toLower();
    if (lowerName == "cf-mitigated")
        return lowerValue == "challenge";
    if (lowerName == "x-amzn-waf-action")
        return lowerValue == "challenge" || lowerValue == "captcha";
    return false;
}

LinkStatus statusForNetworkError(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return LinkStatus::NoHost;
    case QNetworkReply::ConnectionRefusedError:
        return LinkStatus::Refused;
    case QNetworkReply::SslHandshakeFailedError:
        // Certificate and protocol failures of TLS alike.
        return LinkStatus::Tls;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
        return LinkStatus::Timeout;
    default:
        return LinkStatus::Broken;
    }
}

namespace {

bool isPublicIPv4(quint32 a) {
    const auto in = [a](quint32 net, int bits) {
        return (a >> (32 - bits)) == (net >> (32 - bits));
    };
    return !(in(0x00000000, 8) || in(0x0A000000, 8) || in(0x64400000, 10) || in(0x7F000000, 8) ||
             in(0xA9FE0000, 16) || in(0xAC100000, 12) || in(0xC0000000, 24) || in(0xC0A80000, 16) ||
             in(0xC6120000, 15) || in(0xE0000000, 4) || in(0xF0000000, 4));
}

} // namespace

bool isPublicAddress(const QString& text) {
    QString bare = text;
    if (bare.startsWith(QLatin1Char('[')) && bare.endsWith(QLatin1Char(']')))
        bare = bare.mid(1, bare.size() - 2);
    QHostAddress address;
    if (!address.setAddress(bare))
        return false;
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4); // also a v4-mapped v6 address
    if (isV4)
        return isPublicIPv4(v4);
    const Q_IPV6ADDR v6 = address.toIPv6Address();
    bool zero = true;
    for (int i = 0; i < 15; ++i)
        zero = zero && v6[i] == 0;
    if (zero && (v6[15] == 0 || v6[15] == 1)) // :: and ::1
        return false;
    if ((v6[0] & 0xFE) == 0xFC) // fc00::/7 unique local
        return false;
    if (v6[0] == 0xFE && (v6[1] & 0xC0) == 0x80) // fe80::/10 link-local
        return false;
    return v6[0] != 0xFF; // ff00::/8 multicast
}

bool isTransientNetworkError(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::UnknownNetworkError:
        return true;
    default:
        return false;
    }
}

std::optional<qint64> parseRetryAfterMs(const QByteArray& value, const QDateTime& nowUtc) {
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool allDigits = true;
    for (const char c : text)
        allDigits = allDigits && c >= '0' && c <= '9';
    if (allDigits) {
        // Long strings of digits only mean "a very long time".
        if (text.size() > 9)
            return std::numeric_limits<qint64>::max();
        return text.toLongLong() * 1000;
    }
    // An HTTP date is always in GMT, which Qt reads as the offset +0000.
    QString date = QString::fromLatin1(text);
    if (date.endsWith(QLatin1String(" GMT")))
        date = date.left(date.size() - 4) + QLatin1String(" +0000");
    const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!when.isValid())
        return std::nullopt;
    const qint64 ms = nowUtc.msecsTo(when);
    return ms > 0 ? ms : 0;
}
