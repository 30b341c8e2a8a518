#pragma once

#include "core/LinkGroup.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QLineEdit;

// "Group Properties": a group's title (edit "ctl1000"), header font (button
// "ctl1005" "Font", which runs the font picker at 14 points) and bullet image
// (edit "ctl1013", button "ctl1014" "Browse..."). No close box.
//
// Strings are UTF-8, as in the model. The caller fills all five
// members, runs runModal and reads all five back only after OK; a font or
// image chosen inside is held by the dialog until then.
class GroupDialog : public QDialog {
    Q_OBJECT
public:
    explicit GroupDialog(QWidget* parent = nullptr);

    std::string m_face;
    std::int32_t m_style = 0;
    RgbColor m_textColor = 0;
    std::string m_bullet;
    std::string m_title;

    // Fills the edits from the members, runs the dialog and on OK reads the
    // edits back. Returns QDialog::Accepted for OK.
    int runModal();

    // Runs the dialog on a copy of the group's title, bullet image and header
    // font and writes all five back on OK (the links are not touched).
    // Returns true for OK; on Cancel the group is left untouched.
    static bool edit(QWidget* parent, LinkGroup& group);

private:
    void onFont();
    void onBrowse();

    QLineEdit* m_titleEdit;
    QLineEdit* m_bulletEdit;
};
