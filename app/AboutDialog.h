#pragma once

#include <QDialog>

// The About box: program icon, a small picture, "Version 1.0", a rule, the
// rights notice and credits, and OK.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};
