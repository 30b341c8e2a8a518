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

PageColorsDialog::PageColorsDialog(QWidget* parent, const Values& start)
    : QDialog(parent), m_values(start) {
    setWindowTitle(tr("Colors"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    const DialogButtons b = createDialogButtons(this, help::Page::ColorsDialog);

    // Each swatch is named after its label and its colour, for screen readers.
    auto swatch = [this](RgbColor* color, const char* objectName, const QString& label,
                         QGridLayout* grid, int row) {
        auto* button = new ColorSwatchButton(color, this);
        button->setObjectName(QString::fromLatin1(objectName));
        button->setCaption(QString(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        auto* caption = new QLabel(label, this);
        caption->setBuddy(button);
        grid->addWidget(caption, row, 0);
        grid->addWidget(button, row, 1);
        return button;
    };
    auto* grid = new QGridLayout;
    m_backgroundSwatch =
        swatch(&m_values.background, "backgroundSwatch", tr("&Background:"), grid, 0);
    m_linkSwatch = swatch(&m_values.link, "linkSwatch", tr("&Unvisited Links:"), grid, 1);
    m_visitedLinkSwatch =
        swatch(&m_values.visitedLink, "visitedLinkSwatch", tr("&Visited Links:"), grid, 2);
    grid->setColumnStretch(2, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(line);
    layout->addLayout(b.row);

    // Tab order: OK, Cancel, Help, then the three swatches.
    setTabOrder(b.ok, b.cancel);
    setTabOrder(b.cancel, b.help);
    setTabOrder(b.help, m_backgroundSwatch);
    setTabOrder(m_backgroundSwatch, m_linkSwatch);
    setTabOrder(m_linkSwatch, m_visitedLinkSwatch);

    connect(m_backgroundSwatch, &QAbstractButton::clicked, this,
            [this] { onSwatch(m_backgroundSwatch, m_values.background); });
    connect(m_linkSwatch, &QAbstractButton::clicked, this,
            [this] { onSwatch(m_linkSwatch, m_values.link); });
    connect(m_visitedLinkSwatch, &QAbstractButton::clicked, this,
            [this] { onSwatch(m_visitedLinkSwatch, m_values.visitedLink); });
}

void PageColorsDialog::onSwatch(ColorSwatchButton* button, RgbColor& color) {
    if (pickColor(this, color))
        button->colorChanged();
}

std::optional<PageColorsDialog::Values> PageColorsDialog::edit(QWidget* parent,
                                                               const Values& start) {
    PageColorsDialog dlg(parent, start);
    if (UiServices::instance().execDialog(dlg) != QDialog::Accepted)
        return std::nullopt;
    return dlg.m_values;
}
