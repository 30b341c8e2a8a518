#include "dialogs/PageStyleDialog.h"

#include "dialogs/DialogButtons.h"
#include "gui/HelpLauncher.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

PageStyleDialog::PageStyleDialog(QWidget* parent, const PageStyle& start) : QDialog(parent) {
    setWindowTitle(tr("Page Style"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const DialogButtons b = createDialogButtons(this, help::Page::PageStyleDialog);

    auto* styleBox = new QGroupBox(tr("Style"), this);
    m_classic = new QRadioButton(tr("C&lassic: the table page, 800 pixels wide"), styleBox);
    m_classic->setObjectName(QStringLiteral("classicRadio"));
    m_modern = new QRadioButton(tr("&Modern: cards that fit any window, dark mode, type to filter"),
                                styleBox);
    m_modern->setObjectName(QStringLiteral("modernRadio"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_classic);
    group->addButton(m_modern);
    auto* styleLayout = new QVBoxLayout(styleBox);
    styleLayout->addWidget(m_classic);
    styleLayout->addWidget(m_modern);

    m_modernBox = new QGroupBox(tr("Modern page"), this);
    m_modernBox->setObjectName(QStringLiteral("modernBox"));
    m_theme = new QComboBox(m_modernBox);
    m_theme->setObjectName(QStringLiteral("themeCombo"));
    m_theme->addItem(tr("Follow the system"), static_cast<int>(PageTheme::System));
    m_theme->addItem(tr("Light"), static_cast<int>(PageTheme::Light));
    m_theme->addItem(tr("Dark"), static_cast<int>(PageTheme::Dark));
    m_theme->setAccessibleName(tr("Theme"));
    m_filter = new QCheckBox(tr("&Filter box (type or press / to find a link)"), m_modernBox);
    m_filter->setObjectName(QStringLiteral("filterCheck"));
    m_search = createUnlimitedEdit(this, QStringLiteral("searchEdit"));
    m_search->setParent(m_modernBox);
    m_search->setPlaceholderText(tr("none: nothing leaves your computer"));
    m_search->setAccessibleName(tr("Web search"));
    m_search->setAccessibleDescription(
        tr("The address of a web search, with %s where the words go; used when no link "
           "matches"));
    m_icons = new QCheckBox(tr("&Icons from your browsers"), m_modernBox);
    m_icons->setObjectName(QStringLiteral("iconsCheck"));

    auto* form = new QFormLayout(m_modernBox);
    auto* themeLabel = new QLabel(tr("&Theme:"), m_modernBox);
    themeLabel->setBuddy(m_theme);
    form->addRow(themeLabel, m_theme);
    form->addRow(m_filter);
    auto* searchLabel = new QLabel(tr("&Web search:"), m_modernBox);
    searchLabel->setBuddy(m_search);
    form->addRow(searchLabel, m_search);
    auto* searchHint = new QLabel(
        tr("An address with %s where the words go, for text no link matches."), m_modernBox);
    searchHint->setWordWrap(true);
    form->addRow(QString(), searchHint);
    form->addRow(m_icons);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* body = new QVBoxLayout;
    body->addWidget(styleBox);
    body->addWidget(m_modernBox);
    body->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createScrollingBody(this, body), 1);
    layout->addWidget(line);
    layout->addLayout(b.row);

    setTabOrder(m_classic, m_modern);
    setTabOrder(m_modern, m_theme);
    setTabOrder(m_theme, m_filter);
    setTabOrder(m_filter, m_search);
    setTabOrder(m_search, m_icons);
    setTabOrder(m_icons, b.ok);
    setTabOrder(b.ok, b.cancel);
    setTabOrder(b.cancel, b.help);

    (start.look == PageLook::Modern ? m_modern : m_classic)->setChecked(true);
    m_theme->setCurrentIndex(m_theme->findData(static_cast<int>(start.theme)));
    m_filter->setChecked(start.filterBox);
    m_search->setText(toQString(start.searchUrl));
    m_icons->setChecked(start.icons);
    connect(m_modern, &QRadioButton::toggled, this, &PageStyleDialog::updateEnabled);
    connect(m_filter, &QCheckBox::toggled, this, &PageStyleDialog::updateEnabled);
    updateEnabled();
    (start.look == PageLook::Modern ? m_modern : m_classic)->setFocus();
    fitDialogToScreen(this);
}

void PageStyleDialog::updateEnabled() {
    m_modernBox->setEnabled(m_modern->isChecked());
    m_search->setEnabled(m_filter->isChecked());
}

PageStyle PageStyleDialog::values() const {
    PageStyle style;
    style.look = m_modern->isChecked() ? PageLook::Modern : PageLook::Classic;
    style.theme = static_cast<PageTheme>(m_theme->currentData().toInt());
    style.filterBox = m_filter->isChecked();
    style.searchUrl = toProjectText(m_search->text().trimmed());
    style.icons = m_icons->isChecked();
    return style;
}

void PageStyleDialog::accept() {
    const QString search = m_search->text().trimmed();
    if (m_search->isEnabled() && !search.isEmpty() && !search.contains(QLatin1String("%s"))) {
        showError(this, tr("The web search address needs %s where the words go."));
        m_search->setFocus();
        m_search->selectAll();
        return;
    }
    QDialog::accept();
}

std::optional<PageStyle> PageStyleDialog::edit(QWidget* parent, const PageStyle& start) {
    PageStyleDialog dlg(parent, start);
    if (UiServices::instance().execDialog(dlg) != QDialog::Accepted)
        return std::nullopt;
    return dlg.values();
}
