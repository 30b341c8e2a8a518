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

// The address a link takes on when it is updated to where its redirects
// ended: the final address's own fragment wins, else the link's fragment is
// kept ("http://a/p301#top" ending at "http://a/ok" gives "http://a/ok#top").
std::string finalUrlKeepingFragment(std::string_view linkText, std::string_view finalUrl);

// Names that can never resolve (the reserved ".invalid" domain): answered
// as no-host without asking any resolver.
bool isReservedUnresolvableHost(const QString& host);
