#pragma once

#include "model/UrlGroup.h"

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
// The face is Windows-1252 bytes, as in the model. The caller fills the
// members, runs DoModal and reads them back only after OK. On OK the style
// code is 2 for italic plus 1 when the chosen font's weight is exactly 700.
class CFontPickerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFontPickerDlg(QWidget* parent = nullptr);

    std::string m_strFace;
    std::int32_t m_nStyle = 0;
    COLORREF m_clrText = 0;
    // Height of the sample text (negative, from PointSizeToHeight).
    int m_nHeight = -18;

    // Fills the controls from the members (the face cut to 31 bytes), runs
    // the dialog and, on OK, reads the choice back. Returns
    // QDialog::Accepted for OK.
    int DoModal();

    // The weight the chosen face really has in the chosen style; a face
    // without a true bold may answer something other than 700.
    int ChosenWeight() const;

private:
    void FillControls();
    void ReadControls();
    void OnFaceEdited(const QString& text);
    void UpdateSample();
    QFont ChosenFont() const;

    QLineEdit* m_pFaceEdit;
    QListWidget* m_pFaceList;
    QListWidget* m_pStyleList;
    QComboBox* m_pColorList;
    QLabel* m_pSample;
};

// The font height in this window's logical pixels for a point size (see the
// window-free PointSizeToHeight for the rule).
int PointSizeToHeight(const QWidget* window, int points);

// The font picker: shows CFontPickerDlg on face, style and color, with the
// sample at pointSize points as measured for window. On OK replaces all
// three and returns true; on Cancel changes nothing and returns false.
bool PickFont(QWidget* window, int pointSize, std::string& face, std::int32_t& style,
              COLORREF& color);
