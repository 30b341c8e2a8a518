#pragma once

#include "model/UrlGroup.h"

#include <QDialog>

class CColorSwatchButton;

// "Colors": the page's background, unvisited-link and visited-link colours,
// each shown on a swatch button (objects "ctl1017", "ctl1018", "ctl1019")
// that opens the colour chooser. The dialog works on its own three members;
// the caller fills them, runs DoModal and copies them back only on OK.
class CColorsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CColorsDlg(QWidget* parent = nullptr);

    COLORREF m_clrBackground = 0;
    COLORREF m_clrLink = 0;
    COLORREF m_clrVisitedLink = 0;

    // Runs the dialog modally; returns QDialog::Accepted for OK.
    int DoModal();

    // Copies the three colours in, runs the dialog and copies them back on
    // OK. Returns true for OK; on Cancel the three are left untouched.
    static bool Edit(QWidget* parent, COLORREF& background, COLORREF& link, COLORREF& visitedLink);

private:
    void OnSwatch(CColorSwatchButton* button, COLORREF& color);

    CColorSwatchButton* m_pBackground;
    CColorSwatchButton* m_pLink;
    CColorSwatchButton* m_pVisitedLink;
};
