#pragma once

#include <QString>
#include <QUrl>

#include <string>
#include <string_view>

// What a link's text asks the checker to do.
struct LinkTarget {
    enum class Kind {
        Http,      // http: or https: with a host: ask the server
        LocalFile, // file: on this machine or a rooted path: look at the disk
        Skipped,   // any other scheme, a file: on another machine, or a
                   // relative link (nothing to resolve it against)
        Invalid,   // not an address at all
    };
    Kind kind = Kind::Invalid;
    QUrl url;              // the parsed address (Http)
    QString localPath;     // the path to look at (LocalFile)
    QString key;           // the same link written differently gives the same key
    bool relative = false; // Skipped for being relative ("other.htm", "#top")
};

// Reads a link's text (UTF-8, surrounding white space ignored).
LinkTarget classifyLinkText(std::string_view text);

// Names that can never resolve (the reserved ".invalid" domain): answered
// as no-host without asking any resolver.
bool isReservedUnresolvableHost(const QString& host);

// The address Update to Final URL writes: the last redirect's own fragment
// when it had one, else the link's ("#top" of ".../old#top" kept on
// ".../new"), else the final address as it is.
std::string finalUrlWithFragment(const std::string& finalUrl, const std::string& redirectFragment,
                                 std::string_view linkUrl);
