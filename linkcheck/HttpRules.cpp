#include "HttpRules.h"

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
