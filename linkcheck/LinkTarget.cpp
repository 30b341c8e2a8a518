#include "LinkTarget.h"

#include "core/UrlKey.h"

#include <QRegularExpression>

namespace {

bool isHttpScheme(const QString& scheme) {
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// A reference without a scheme that a page could hold as it is: printable
// ASCII without spaces, not starting "//" (a host without a scheme) and not a
// host name typed without its scheme ("www.example.com").
bool isRelativeReference(const QString& text) {
    if (text.startsWith(QLatin1String("//")) ||
        text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return false;
    for (const QChar c : text) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f)
            return false;
    }
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && url.isRelative() && url.host().isEmpty();
}

// The file: form of a path under the rule every link comparison uses.
QString localKey(const QString& path) {
    return QString::fromStdString(urlComparisonKey(
        QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).toStdString(), UrlFragment::Ignore));
}

} // namespace

LinkTarget classifyLinkText(std::string_view text) {
    LinkTarget target;
    const QString trimmed =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
    if (trimmed.isEmpty())
        return target;
    if (trimmed.startsWith(QLatin1Char('/')) && !trimmed.startsWith(QLatin1String("//"))) {
        target.kind = LinkTarget::Kind::LocalFile;
        target.localPath = trimmed;
        target.key = localKey(trimmed);
        return target;
    }
    // Tolerant parsing, as a browser reads a link: a space in the path is
    // taken as %20, but a broken host or a missing scheme is not an address.
    const QUrl url(trimmed, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.isRelative()) {
        if (isRelativeReference(trimmed)) {
            target.kind = LinkTarget::Kind::Skipped;
            target.relative = true;
            target.key = QLatin1String("relative:") + trimmed;
        }
        return target;
    }
    const QString scheme = url.scheme();
    if (isHttpScheme(scheme)) {
        if (url.host().isEmpty())
            return target;
        target.kind = LinkTarget::Kind::Http;
        target.url = url.adjusted(QUrl::RemoveFragment);
        // The same rule as the duplicates finder's, less the fragment: one
        // request serves every spelling of one place.
        target.key = QString::fromStdString(urlComparisonKey(text, UrlFragment::Ignore));
        return target;
    }
    if (scheme == QLatin1String("file")) {
        const QString host = url.host();
        if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) {
            target.kind = LinkTarget::Kind::Skipped;
            target.key = url.toString(QUrl::FullyEncoded);
            return target;
        }
        target.kind = LinkTarget::Kind::LocalFile;
        QUrl local = url;
        local.setHost(QString());
        target.localPath = local.toLocalFile();
        if (target.localPath.isEmpty())
            target.localPath = QLatin1String("/");
        target.key = localKey(target.localPath);
        return target;
    }
    target.kind = LinkTarget::Kind::Skipped;
    target.key = trimmed;
    return target;
}

bool isReservedUnresolvableHost(const QString& host) {
    QString name = host.toLower();
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name == QLatin1String("invalid") || name.endsWith(QLatin1String(".invalid"));
}

std::string finalUrlWithFragment(const std::string& finalUrl, const std::string& redirectFragment,
                                 std::string_view linkUrl) {
    if (finalUrl.empty() || finalUrl.find('#') != std::string::npos)
        return finalUrl;
    if (!redirectFragment.empty())
        return finalUrl + '#' + redirectFragment;
    const size_t hash = linkUrl.find('#');
    if (hash == std::string_view::npos || hash + 1 == linkUrl.size())
        return finalUrl;
    std::string_view fragment = linkUrl.substr(hash + 1);
    while (!fragment.empty() && static_cast<unsigned char>(fragment.back()) <= ' ')
        fragment.remove_suffix(1);
    return fragment.empty() ? finalUrl : finalUrl + '#' + std::string(fragment);
}
