#pragma once

#include "core/PageStyle.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

// "Page Style": the classic page or the modern one, and for the modern page
// its theme, filter box, web search and icons. The modern settings are
// kept while Classic is chosen, only not used.
class PageStyleDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog on start. Returns the style on OK, nothing on Cancel.
    static std::optional<PageStyle> edit(QWidget* parent, const PageStyle& start);

    void accept() override;

private:
    PageStyleDialog(QWidget* parent, const PageStyle& start);
    PageStyle values() const;
    void updateEnabled();

    QRadioButton* m_classic;
    QRadioButton* m_modern;
    QGroupBox* m_modernBox;
    QComboBox* m_theme;
    QCheckBox* m_filter;
    QLineEdit* m_search;
    QCheckBox* m_icons;
};
