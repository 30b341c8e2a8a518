#pragma once

#include "core/LinkGroup.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// "Font": a reduced font chooser offering the face (the installed families,
// sorted; list "faceList" with its field "faceEdit"), the style (Regular,
// Bold, Italic, Bold Italic; "styleList") and the colour (the sixteen
// standard colours, plus "Custom" when the start colour is none of them;
// "colorList"), with a "Sample" box showing the choice. No size, effects or
// help. It has a fixed size of 266 x 138 layout units (see DialogUnits) and
// opens centred over the window it is asked from.
class FontDialog : public QDialog {
    Q_OBJECT
public:
    // The face is Windows-1252 bytes, as in the model, at most 31 of them.
    // The style code is 2 for italic plus 1 for bold (see FontRules.h).
    struct Values {
        std::string face;
        std::int32_t style = 0;
        RgbColor color = 0;
    };

    // Shows the picker on start (a longer face cut to 31 bytes; a style code
    // outside 0..3 shown as Regular), with the sample at pointSize points as
    // measured for window. Returns the choice on OK, nothing on Cancel. On
    // OK the style code is 2 for italic plus 1 when the chosen font's weight
    // is exactly 700.
    static std::optional<Values> pick(QWidget* window, int pointSize, const Values& start);

    // The weight the chosen face really has in the chosen style; a face
    // without a true bold may answer something other than 700.
    int chosenWeight() const;
    // Height of the sample text in pixels (negative, from pointSizeToHeight).
    int sampleHeight() const { return m_height; }

private:
    explicit FontDialog(QWidget* parent);
    void fillControls(const Values& start);
    Values chosenValues() const;
    void onFaceEdited(const QString& text);
    void updateSample();
    QFont chosenFont() const;

    int m_height = -18;
    QLineEdit* m_faceEdit;
    QListWidget* m_faceList;
    QListWidget* m_styleList;
    QComboBox* m_colorList;
    QLabel* m_sample;
};

// The font height in this window's logical pixels for a point size (see the
// window-free pointSizeToHeight for the rule).
int pointSizeToHeight(const QWidget* window, int points);
