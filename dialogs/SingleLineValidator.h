#pragma once

#include <QValidator>

class QLineEdit;

// Keeps a one-line text field one line: of text pasted, dropped or typed
// into it only the first line is kept, and a tab becomes a space. Text
// already in the field is never changed, so a stored value shown with
// showStoredText keeps its line breaks until the user edits that part.
//
// With a limit (in characters) it also refuses typing that would make the
// text longer than the limit; a longer text put in by the program stays
// whole and can still be shortened. The validator belongs to the field.
class SingleLineValidator : public QValidator {
    Q_OBJECT
public:
    static constexpr int kNoLimit = -1;

    // Installs a validator on edit and returns it.
    static SingleLineValidator* install(QLineEdit* edit, int limit = kNoLimit);

    State validate(QString& input, int& pos) const override;

    // Shows text in edit as it is, line breaks and all (a value read from
    // a project), scrolled to its beginning.
    static void showStoredText(QLineEdit* edit, const QString& text);

private:
    SingleLineValidator(QLineEdit* edit, int limit);

    int m_limit;
    QString m_previous;
    bool m_passThrough = false;
};
