#include "dialogs/PageColorsDialog.h"

#include "dialogs/ColorPicker.h"
#include "dialogs/ColorSwatchButton.h"
#include "dialogs/DialogButtons.h"
#include "gui/HelpLauncher.h"
#include "gui/UiServices.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PageColorsDialog::PageColorsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Colors"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    const DialogButtons b = createDialogButtons(this, help::Page::ColorsDialog);
    QPushButton* ok = b.ok;
    QPushButton* cancel = b.cancel;
    QPushButton* help = b.help;

    m_backgroundSwatch = new ColorSwatchButton(&m_backgroundColor, this);
    m_backgroundSwatch->setObjectName(QStringLiteral("ctl1017"));
    m_linkSwatch = new ColorSwatchButton(&m_linkColor, this);
    m_linkSwatch->setObjectName(QStringLiteral("ctl1018"));
    m_visitedLinkSwatch = new ColorSwatchButton(&m_visitedLinkColor, this);
    m_visitedLinkSwatch->setObjectName(QStringLiteral("ctl1019"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Background:"), this), 0, 0);
    grid->addWidget(m_backgroundSwatch, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Unvisited Links:"), this), 1, 0);
    grid->addWidget(m_linkSwatch, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Visited Links:"), this), 2, 0);
    grid->addWidget(m_visitedLinkSwatch, 2, 1);
    grid->setColumnStretch(2, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    QHBoxLayout* buttons = b.row;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(line);
    layout->addLayout(buttons);

    // Tab order: OK, Cancel, Help, then the three swatches.
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);
    setTabOrder(help, m_backgroundSwatch);
    setTabOrder(m_backgroundSwatch, m_linkSwatch);
    setTabOrder(m_linkSwatch, m_visitedLinkSwatch);

    connect(m_backgroundSwatch, &QAbstractButton::clicked, this,
            [this] { onSwatch(m_backgroundSwatch, m_backgroundColor); });
    connect(m_linkSwatch, &QAbstractButton::clicked, this,
            [this] { onSwatch(m_linkSwatch, m_linkColor); });
    connect(m_visitedLinkSwatch, &QAbstractButton::clicked, this,
            [this] { onSwatch(m_visitedLinkSwatch, m_visitedLinkColor); });
}

void PageColorsDialog::onSwatch(ColorSwatchButton* button, RgbColor& color) {
    if (pickColor(this, color))
        button->update();
}

int PageColorsDialog::runModal() {
    return UiServices::instance().execDialog(*this) == QDialog::Accepted ? QDialog::Accepted
                                                                         : QDialog::Rejected;
}

bool PageColorsDialog::edit(QWidget* parent, RgbColor& background, RgbColor& link,
                            RgbColor& visitedLink) {
    PageColorsDialog dlg(parent);
    dlg.m_backgroundColor = background;
    dlg.m_linkColor = link;
    dlg.m_visitedLinkColor = visitedLink;
    if (dlg.runModal() != QDialog::Accepted)
        return false;
    background = dlg.m_backgroundColor;
    link = dlg.m_linkColor;
    visitedLink = dlg.m_visitedLinkColor;
    return true;
}
