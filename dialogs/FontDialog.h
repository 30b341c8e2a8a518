#pragma once

#include "core/LinkGroup.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// "Font": a reduced font chooser offering the face (the installed families,
// sorted; objects "ctl1136" list and "ctl1136Edit" its edit), the style
// (Regular, Bold, Italic, Bold Italic; "ctl1137") and the colour (the sixteen
// standard colours, plus "Custom" when the start colour is none of them;
// "ctl1139"), with a "Sample" box showing the choice. No size, effects or
// help.
//
// The face is UTF-8, as in the model. The caller fills the
// members, runs runModal and reads them back only after OK. On OK the style
// code is 2 for italic plus 1 when the chosen font's weight is exactly 700.
class FontDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontDialog(QWidget* parent = nullptr);

    std::string m_face;
    std::int32_t m_style = 0;
    RgbColor m_textColor = 0;
    // Height of the sample text (negative, from pointSizeToHeight).
    int m_height = -18;

    // Fills the controls from the members (the face cut to 31 bytes), runs
    // the dialog and, on OK, reads the choice back. Returns
    // QDialog::Accepted for OK.
    int runModal();

    // The weight the chosen face really has in the chosen style; a face
    // without a true bold may answer something other than 700.
    int chosenWeight() const;

private:
    void fillControls();
    void readControls();
    void onFaceEdited(const QString& text);
    void updateSample();
    QFont chosenFont() const;

    QLineEdit* m_faceEdit;
    QListWidget* m_faceList;
    QListWidget* m_styleList;
    QComboBox* m_colorList;
    QLabel* m_sample;
};

// The font height in this window's logical pixels for a point size (see the
// window-free pointSizeToHeight for the rule).
int pointSizeToHeight(const QWidget* window, int points);

// The font picker: shows FontDialog on face, style and color, with the
// sample at pointSize points as measured for window. On OK replaces all
// three and returns true; on Cancel changes nothing and returns false.
bool pickFont(QWidget* window, int pointSize, std::string& face, std::int32_t& style,
              RgbColor& color);
