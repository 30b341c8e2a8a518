#include "dialogs/SingleLineValidator.h"

#include <QLineEdit>
#include <QRegularExpression>

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

    // The part that differs from the text before the change is what was
    // just put in; the unchanged head and tail stay as they are.
    const qsizetype shorter = std::min(input.size(), m_previous.size());
    qsizetype head = 0;
    while (head < shorter && input[head] == m_previous[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           input[input.size() - 1 - tail] == m_previous[m_previous.size() - 1 - tail])
        ++tail;
    QString added = input.mid(head, input.size() - head - tail);
    const qsizetype lineEnd = added.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (lineEnd >= 0 || added.contains(QLatin1Char('\t'))) {
        if (lineEnd >= 0)
            added.truncate(lineEnd);
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
