#pragma once

#include "LinkStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QNetworkReply>

#include <optional>

// How an HTTP status reads for a link, before any retry: 2xx ok; 401, 403,
// 999 and bot challenges blocked; 429 rate-limited; other codes broken.
// Redirects are followed by the checker before it gets here.
LinkStatus statusForHttpCode(int code, bool botChallenge);

// True for a response header that marks a bot-challenge page (a site that
// wants a browser to run a script or solve a puzzle before showing the page).
bool isBotChallengeHeader(const QByteArray& name, const QByteArray& value);

// How a failed connection reads for a link (no HTTP status was received).
LinkStatus statusForNetworkError(QNetworkReply::NetworkError error);

// True for an IP address on the public internet; false for loopback,
// private, shared, link-local, unique-local, multicast, reserved and
// unspecified ones, and for text that is no IP address.
bool isPublicAddress(const QString& address);

// Errors that are often gone a moment later: worth one retry.
bool isTransientNetworkError(QNetworkReply::NetworkError error);

// The wait a Retry-After header asks for, in milliseconds: either a number
// of seconds or an HTTP date. Nothing for a value that is neither; a date in
// the past gives 0.
std::optional<qint64> parseRetryAfterMs(const QByteArray& value, const QDateTime& nowUtc);
