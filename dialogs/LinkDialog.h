#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

// "Link Entry Properties": a link's description (edit "ctl1001") and URL
// (edit "ctl1003"). The members are UTF-8, as in the model.
// The caller fills them (empty to add a link), runs runModal and reads them
// back only after OK. No length limit and no validation: empty texts are
// accepted.
class LinkDialog : public QDialog {
    Q_OBJECT
public:
    explicit LinkDialog(QWidget* parent = nullptr);

    std::string m_description;
    std::string m_url;

    // Fills the edits from the members, runs the dialog and on OK reads the
    // edits back. Returns QDialog::Accepted for OK.
    int runModal();

    // Runs the dialog on copies of description and url and copies them back
    // on OK. Returns true for OK; on Cancel both are left untouched.
    static bool edit(QWidget* parent, std::string& description, std::string& url);

private:
    QLineEdit* m_descriptionEdit;
    QLineEdit* m_urlEdit;
};
