#pragma once

#include "dialogs/FontDialog.h"

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;

// "Group Properties": a group's title (field "titleEdit"), header font
// (button "fontButton" "Font", which runs the font picker at 14 points) and
// bullet image (field "bulletEdit", button "browseButton" "Browse..."). No
// close box. A font or image chosen inside is held by the dialog until OK.
class GroupDialog : public QDialog {
    Q_OBJECT
public:
    // Texts are Windows-1252 bytes, as in the model.
    struct Values {
        std::string title;
        std::string bullet;
        FontDialog::Values font;

        static Values fromGroup(const LinkGroup& group);
        // Writes all five fields into group; its links are not touched.
        void applyTo(LinkGroup& group) const;
    };

    // Shows the dialog on start. Returns the values on OK, nothing on
    // Cancel.
    static std::optional<Values> edit(QWidget* parent, const Values& start);

private:
    explicit GroupDialog(QWidget* parent);
    void onFont();
    void onBrowse();

    FontDialog::Values m_font;
    QLineEdit* m_titleEdit;
    QLineEdit* m_bulletEdit;
};
