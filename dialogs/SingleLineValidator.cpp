#include "dialogs/SingleLineValidator.h"

#include <QLineEdit>

#include <algorithm>

SingleLineValidator::SingleLineValidator(QLineEdit* edit, int limit)
    : QValidator(edit), m_limit(limit), m_previous(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { m_previous = t; });
}

SingleLineValidator* SingleLineValidator::install(QLineEdit* edit, int limit) {
    auto* validator = new SingleLineValidator(edit, limit);
    edit->setValidator(validator);
    return validator;
}

QValidator::State SingleLineValidator::validate(QString& input, int& pos) const {
    if (m_passThrough)
        return Acceptable;

    // What was just put in ends at the cursor; the text after the cursor
    // and the unchanged head before it were there already and stay as they
    // are.
    const qsizetype cursor = std::clamp<qsizetype>(pos, 0, input.size());
    const qsizetype tail = input.size() - cursor;
    const qsizetype headLimit = std::min(cursor, std::max<qsizetype>(0, m_previous.size() - tail));
    qsizetype head = 0;
    while (head < headLimit && input[head] == m_previous[head])
        ++head;
    QString added = input.mid(head, cursor - head);
    const auto lineEnd = std::find_if(added.cbegin(), added.cend(), [](QChar c) {
        return c == QLatin1Char('\n') || c == QLatin1Char('\r');
    });
    const bool cut = lineEnd != added.cend();
    if (cut || added.contains(QLatin1Char('\t'))) {
        if (cut)
            added.truncate(lineEnd - added.cbegin());
        added.replace(QLatin1Char('\t'), QLatin1Char(' '));
        input = input.left(head) + added + input.right(tail);
        pos = static_cast<int>(head + added.size());
    }

    if (m_limit != kNoLimit && input.size() > m_limit && input.size() > m_previous.size())
        return Invalid;
    return Acceptable;
}

void SingleLineValidator::showStoredText(QLineEdit* edit, const QString& text) {
    auto* self = edit->findChild<SingleLineValidator*>(QString(), Qt::FindDirectChildrenOnly);
    if (self)
        self->m_passThrough = true;
    if (edit->text() != text)
        edit->setText(text);
    if (self)
        self->m_passThrough = false;
    edit->setCursorPosition(0);
}
