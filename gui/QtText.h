#pragma once

#include <QString>

#include <string>

// The project keeps its texts as UTF-8; widgets show QString. These are the
// only conversions between the two.
inline QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toProjectText(const QString& text) {
    return text.toUtf8().toStdString();
}

// The number of characters in text, counting a surrogate pair once: what
// the length limits of the form and dialogs count.
inline qsizetype characterCount(const QString& text) {
    qsizetype count = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        if (text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate())
            --count;
    return count;
}
