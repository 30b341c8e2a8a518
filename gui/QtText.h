#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>
#include <string_view>

// The project keeps its texts as UTF-8 and file names as the system's bytes;
// widgets show QString. These are the only conversions between the two.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toProjectText(const QString& text) {
    return text.toUtf8().toStdString();
}

// A file name as the system takes it (the local 8-bit encoding), and back.
inline std::string toFileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

inline QString fromFileNameBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
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
