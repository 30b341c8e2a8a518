#pragma once

#include <QString>

class QFontMetrics;

// An address cut to fit `width` pixels: its scheme and host stay whole and
// the path loses its middle ("https://docs.example.org/…/page.html"), since
// a reader tells addresses apart by their host and their last part. When not
// even the host fits, the address is cut at its end.
QString elideUrl(const QString& url, const QFontMetrics& metrics, int width);
