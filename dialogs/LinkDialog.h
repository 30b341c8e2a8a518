#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;

// "Link Entry Properties": a link's description (field "descriptionEdit")
// and URL (field "urlEdit"). No length limit and no validation: empty texts
// are accepted. Both fields are single lines (see SingleLineValidator).
class LinkDialog : public QDialog {
    Q_OBJECT
public:
    // Texts are Windows-1252 bytes, as in the model.
    struct Values {
        std::string description;
        std::string url;
    };

    // Shows the dialog on start (empty texts to add a link). Returns the
    // texts on OK, nothing on Cancel.
    static std::optional<Values> edit(QWidget* parent, const Values& start);

private:
    explicit LinkDialog(QWidget* parent);

    QLineEdit* m_descriptionEdit;
    QLineEdit* m_urlEdit;
};
