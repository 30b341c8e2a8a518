#include "editor/LFView.h"

#include "dialogs/ImageFilters.h"

#include "app/CommandIds.h"
#include "app/UiServices.h"
#include "editor/Cp1252Text.h"
#include "editor/LinkCommands.h"
#include "editor/LinkListCtrl.h"
#include "editor/LinkListModel.h"
#include "editor/SpinArrows.h"
#include "model/IniFile.h"
#include "page/GenerateCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolTip>
#include <QValidator>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

constexpr int kDefaultCol0 = 200;
constexpr int kDefaultCol1 = 260;
constexpr int kMinColumns = 1;
constexpr int kMaxColumns = 4;

// The form's size and its controls' places, in dialog units: a quarter of
// the average character width across, an eighth of the font height down.
constexpr QRect kForm(0, 0, 378, 171);

// Refuses typing that would make the text longer than the limit. A longer
// text put in by the program stays whole and can still be shortened.
class CTypedLengthValidator : public QValidator {
public:
    CTypedLengthValidator(QLineEdit* edit, int limit) : QValidator(edit), m_limit(limit) {
        QObject::connect(edit, &QLineEdit::textChanged, this,
                         [this](const QString& t) { m_current = t.size(); });
    }
    State validate(QString& input, int&) const override {
        return input.size() <= m_limit || input.size() <= m_current ? Acceptable : Invalid;
    }

private:
    int m_limit;
    qsizetype m_current = 0;
};

// A decimal integer with optional surrounding blanks and sign.
bool ParseInteger(const QString& text, int& value) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok || v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

std::string LayoutSection(int tab) {
    char name[32];
    std::snprintf(name, sizeof name, "Page%dLayout", tab);
    return name;
}

} // namespace

CLFView::CLFView(CLFDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    m_pDoc->SetView(this);
    for (auto& w : m_colWidths)
        w = {kDefaultCol0, kDefaultCol1};
    BuildForm();
    m_pLinkCommands = new CLinkCommands(this);

    connect(m_pFontButton, &QPushButton::clicked, this, [this] { m_pLinkCommands->OnTitleFont(); });
    connect(m_pColorsButton, &QPushButton::clicked, this, [this] { m_pLinkCommands->OnColors(); });
    connect(m_pPropertiesButton, &QPushButton::clicked, this,
            [this] { m_pLinkCommands->OnCommand(cmd::ID_GROUP_PROPERTIES); });
    connect(m_pMoveUpButton, &QPushButton::clicked, this, [this] { m_pLinkCommands->OnMoveUp(); });
    connect(m_pMoveDownButton, &QPushButton::clicked, this,
            [this] { m_pLinkCommands->OnMoveDown(); });
    connect(m_pBrowseButton, &QPushButton::clicked, this, &CLFView::OnBrowseTopImage);
    connect(m_pSpin, &CSpinArrows::stepped, this, &CLFView::StepColumns);
    for (QLineEdit* e : {m_pTitle, m_pSubtitle, m_pTopImage, m_pColumns})
        connect(e, &QLineEdit::textChanged, this, &CLFView::OnPageFieldChanged);
    connect(m_pBorders, &QCheckBox::clicked, this, &CLFView::OnPageFieldChanged);
    connect(m_pTabs, &QTabBar::currentChanged, this, &CLFView::OnTabChanged);

    connect(m_pList, &CLinkListCtrl::linkListChanged, this, [this] { SetModified(); });
    connect(m_pList, &CLinkListCtrl::rowsDroppedOnTab, this,
            [this](int tab) { m_pLinkCommands->MoveSelectedRowsToGroup(tab); });
    connect(m_pList, &CLinkListCtrl::contextMenuRequested, this,
            [this](const QPoint& pos) { m_pLinkCommands->ShowContextMenu(pos); });
    connect(m_pList, &CLinkListCtrl::linkDoubleClicked, this,
            [this] { m_pLinkCommands->OnCommand(cmd::ID_LINK_PROPERTIES); });
    connect(m_pList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CLFView::commandStateChanged);
    connect(m_pList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CLFView::commandStateChanged);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
        if ((from && isAncestorOf(from)) || (to && isAncestorOf(to)))
            emit commandStateChanged();
    });
}

CLFView::~CLFView() {
    // The controls go after this object's part: their last focus and
    // selection changes must not reach it.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    m_pList->selectionModel()->disconnect(this);
    m_pList->disconnect(this);
    if (m_pDoc->GetView() == this)
        m_pDoc->SetView(nullptr);
}

// --- The form ------------------------------------------------------------------

void CLFView::BuildForm() {
    auto* pageBox = new QGroupBox(QStringLiteral("Page"), this);
    auto* groupsBox = new QGroupBox(QStringLiteral("URL Groups"), this);
    m_pPageBox = pageBox;
    m_pGroupsBox = groupsBox;
    auto* pagePicture = new QLabel(this);
    pagePicture->setPixmap(QPixmap(QStringLiteral(":/images/page.png")));
    pagePicture->setAlignment(Qt::AlignCenter);
    m_pPagePicture = pagePicture;
    auto* groupsPicture = new QLabel(this);
    groupsPicture->setPixmap(QPixmap(QStringLiteral(":/images/groups.png")));
    groupsPicture->setAlignment(Qt::AlignCenter);
    m_pGroupsPicture = groupsPicture;
    m_pTitleLabel = new QLabel(QStringLiteral("Title:"), this);
    m_pImageLabel = new QLabel(QStringLiteral("Image at Top:"), this);
    m_pColumnsLabel = new QLabel(QStringLiteral("# Columns:"), this);

    m_pTitle = new QLineEdit(this);
    m_pTitle->setObjectName(QStringLiteral("edit1000"));
    m_pTitle->setValidator(new CTypedLengthValidator(m_pTitle, kMaxTitleLength));
    m_pSubtitle = new QLineEdit(this);
    m_pSubtitle->setObjectName(QStringLiteral("edit1001"));
    m_pSubtitle->setValidator(new CTypedLengthValidator(m_pSubtitle, kMaxTitleLength));
    m_pFontButton = new QPushButton(QStringLiteral("Font"), this);
    m_pFontButton->setObjectName(QStringLiteral("button1016"));
    m_pTopImage = new QLineEdit(this);
    m_pTopImage->setObjectName(QStringLiteral("edit1009"));
    m_pBrowseButton = new QPushButton(QStringLiteral("Browse..."), this);
    m_pBrowseButton->setObjectName(QStringLiteral("button1010"));
    m_pColumns = new QLineEdit(this);
    m_pColumns->setObjectName(QStringLiteral("edit1011"));
    m_pColumns->setReadOnly(true);
    m_pColumns->setAlignment(Qt::AlignRight);
    m_pColumns->installEventFilter(this);
    m_pSpin = new CSpinArrows(this);
    m_pSpin->setObjectName(QStringLiteral("spin1012"));
    m_pBorders = new QCheckBox(QStringLiteral("URL Group Borders"), this);
    m_pBorders->setObjectName(QStringLiteral("check1018"));
    m_pColorsButton = new QPushButton(QStringLiteral("Colors"), this);
    m_pColorsButton->setObjectName(QStringLiteral("button1004"));

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    m_pTabPanel = panel;
    m_pTabs = new QTabBar(this);
    m_pTabs->setObjectName(QStringLiteral("tab1017"));
    m_pTabs->setExpanding(false);
    m_pTabs->setUsesScrollButtons(false);
    m_pTabs->setDrawBase(false);
    for (int i = 0; i < kGroupCount; ++i)
        m_pTabs->addTab(QString::number(i + 1));
    m_pTabs->installEventFilter(this);

    m_pList = new CLinkListCtrl(this);
    m_pList->setObjectName(QStringLiteral("list1015"));
    m_pList->SetTabTarget(m_pTabs);
    m_pPropertiesButton = new QPushButton(QStringLiteral("Properties..."), this);
    m_pPropertiesButton->setObjectName(QStringLiteral("button1008"));
    m_pMoveUpButton = new QPushButton(QStringLiteral("Move Up"), this);
    m_pMoveUpButton->setObjectName(QStringLiteral("button1013"));
    m_pMoveDownButton = new QPushButton(QStringLiteral("Move Down"), this);
    m_pMoveDownButton->setObjectName(QStringLiteral("button1014"));

    // Keyboard order of the form.
    QWidget* order[] = {m_pTitle,         m_pSubtitle, m_pFontButton,       m_pTopImage,
                        m_pBrowseButton,  m_pColumns,  m_pBorders,          m_pColorsButton,
                        m_pTabs,          m_pList,     m_pPropertiesButton, m_pMoveUpButton,
                        m_pMoveDownButton};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    // Del over the list deletes rows whichever control has the focus.
    for (QWidget* w : order)
        w->installEventFilter(this);

    PlaceControls();
    // The list lies over the tab panel.
    m_pList->raise();
}

void CLFView::PlaceControls() {
    const QFontMetrics fm(font());
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = std::max(1, (fm.horizontalAdvance(sample) / 26 + 1) / 2);
    const int baseY = std::max(1, fm.height());
    auto px = [&](int x, int y, int w, int h) {
        return QRect(x * baseX / 4, y * baseY / 8, w * baseX / 4, h * baseY / 8);
    };
    m_pPagePicture->setGeometry(px(7, 3, 15, 18));
    m_pGroupsPicture->setGeometry(px(7, 73, 15, 10));
    m_pPageBox->setGeometry(px(26, 0, 345, 69));
    m_pGroupsBox->setGeometry(px(26, 69, 345, 98));
    m_pTitleLabel->setGeometry(px(30, 9, 45, 8));
    m_pImageLabel->setGeometry(px(30, 40, 50, 8));
    m_pColumnsLabel->setGeometry(px(30, 55, 50, 8));
    m_pTitle->setGeometry(px(82, 7, 233, 14));
    m_pSubtitle->setGeometry(px(82, 22, 233, 14));
    m_pFontButton->setGeometry(px(319, 7, 43, 14));
    m_pTopImage->setGeometry(px(82, 37, 233, 14));
    m_pBrowseButton->setGeometry(px(319, 37, 43, 14));
    m_pColumns->setGeometry(px(82, 52, 24, 14));
    m_pSpin->setGeometry(px(105, 52, 11, 14));
    m_pBorders->setGeometry(px(135, 54, 86, 10).adjusted(0, -2, 0, 2));
    m_pColorsButton->setGeometry(px(319, 53, 43, 14));

    const QRect tabArea = px(32, 79, 334, 85);
    const int tabHeight = m_pTabs->sizeHint().height();
    m_pTabs->setGeometry(tabArea.left(), tabArea.top(), tabArea.width(), tabHeight);
    m_pTabPanel->setGeometry(tabArea.left(), tabArea.top() + tabHeight - 1, tabArea.width(),
                             tabArea.height() - tabHeight + 1);
    QRect list = px(39, 94, 276, 65);
    const int listTop = std::max(list.top(), tabArea.top() + tabHeight + 4);
    list.setTop(listTop);
    list.setBottom(std::max(list.bottom(), listTop + 3 * baseY));
    m_pList->setGeometry(list);
    m_pPropertiesButton->setGeometry(px(319, 94, 43, 14).translated(0, listTop - list.top()));
    m_pMoveUpButton->setGeometry(px(319, 129, 43, 14));
    m_pMoveDownButton->setGeometry(px(319, 146, 43, 14));

    const QRect form = px(kForm.x(), kForm.y(), kForm.width(), kForm.height());
    const int bottom = std::max(form.height(), m_pTabPanel->geometry().bottom() + baseY / 2);
    setMinimumSize(form.width(), bottom);
    resize(form.width(), bottom);
}

// --- Accessors -----------------------------------------------------------------

CLinkListCtrl* CLFView::GetLinkList() const {
    return m_pList;
}
QTabBar* CLFView::GetTabBar() const {
    return m_pTabs;
}
QLineEdit* CLFView::GetTitleEdit() const {
    return m_pTitle;
}
QLineEdit* CLFView::GetSubtitleEdit() const {
    return m_pSubtitle;
}
QLineEdit* CLFView::GetTopImageEdit() const {
    return m_pTopImage;
}
QLineEdit* CLFView::GetColumnsEdit() const {
    return m_pColumns;
}
int CLFView::GetCurrentTab() const {
    return m_nCurrentTab;
}

int CLFView::GetStoredColumnWidth(int tab, int column) const {
    if (tab < 0 || tab >= kGroupCount || column < 0 || column > 1)
        return 0;
    return m_colWidths[static_cast<size_t>(tab)][static_cast<size_t>(column)];
}

void CLFView::SetLinkRow(const std::string& description, const std::string& url, int row) {
    if (row < 0) {
        m_pList->AppendRows({CLinkEntry(description, url)});
        return;
    }
    m_pList->GetModel()->SetCell(row, 0, description);
    m_pList->GetModel()->SetCell(row, 1, url);
}

void CLFView::SetModified() {
    m_pDoc->SetModifiedFlag(true);
    emit commandStateChanged();
}

// --- Filling the form and giving it back -----------------------------------------

void CLFView::OnInitialUpdate() {
    m_bInitializing = true;
    m_strTitle = m_pDoc->m_strTitle;
    m_strSubtitle = m_pDoc->m_strSubtitle;
    m_strTopImage = m_pDoc->m_strTopImage;
    m_nColumns = m_pDoc->m_nColumns;
    m_bBorders = m_pDoc->m_bBorders;
    UpdateData(false);
    if (m_bFirstUpdate) {
        // Later New and Open keep the widths the columns have.
        ApplyColumnWidths(0);
        m_bFirstUpdate = false;
    }
    LoadGroup(0);
    m_nCurrentTab = 0;
    m_bInitializing = false;
    emit commandStateChanged();
}

int CLFView::LoadGroup(int group) {
    {
        const QSignalBlocker block(m_pTabs);
        m_pTabs->setCurrentIndex(group);
    }
    if (group < 0 || static_cast<size_t>(group) >= m_pDoc->m_groups.size()) {
        m_pList->DeleteAllRows();
        return 0;
    }
    const auto& links = m_pDoc->m_groups[static_cast<size_t>(group)].m_links;
    m_pList->SetRows(links);
    return static_cast<int>(links.size());
}

void CLFView::ResetForOpen() {
    m_pList->DeleteAllRows();
    {
        const QSignalBlocker block(m_pTabs);
        m_pTabs->setCurrentIndex(0);
    }
    m_nCurrentTab = 0;
}

void CLFView::UpdateDocument() {
    UpdateData(true);
    m_pDoc->m_strTitle = m_strTitle;
    m_pDoc->m_strSubtitle = m_strSubtitle;
    m_pDoc->m_strTopImage = m_strTopImage;
    m_pDoc->m_nColumns = m_nColumns;
    m_pDoc->m_bBorders = m_bBorders;
    m_pDoc->ReplaceLinksFromList(m_pTabs->currentIndex(), m_pList->RowSource());
}

bool CLFView::UpdateData(bool save) {
    auto setText = [](QLineEdit* e, const QString& t) {
        if (e->text() != t)
            e->setText(t);
    };
    if (!save) {
        if (m_bBorders < 0 || m_bBorders > 2)
            m_bBorders = 0;
        m_pBorders->setTristate(m_bBorders == 2);
        m_pBorders->setCheckState(m_bBorders == 0   ? Qt::Unchecked
                                  : m_bBorders == 1 ? Qt::Checked
                                                    : Qt::PartiallyChecked);
        setText(m_pTitle, FromCp1252(m_strTitle));
        setText(m_pTopImage, FromCp1252(m_strTopImage));
        setText(m_pColumns, QString::number(m_nColumns));
        setText(m_pSubtitle, FromCp1252(m_strSubtitle));
        return true;
    }

    auto fail = [this](QLineEdit* edit, const QString& message) {
        ShowError(this, message);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    };
    const QString tooLong =
        QStringLiteral("Please enter no more than %1 characters.").arg(kMaxTitleLength);

    const Qt::CheckState borders = m_pBorders->checkState();
    m_bBorders = borders == Qt::Unchecked ? 0 : borders == Qt::Checked ? 1 : 2;
    m_strTitle = ToCp1252(m_pTitle->text());
    if (m_pTitle->text().size() > kMaxTitleLength)
        return fail(m_pTitle, tooLong);
    m_strTopImage = ToCp1252(m_pTopImage->text());
    int columns = 0;
    if (!ParseInteger(m_pColumns->text(), columns))
        return fail(m_pColumns, QStringLiteral("Please enter an integer."));
    m_nColumns = columns;
    if (columns < kMinColumns || columns > kMaxColumns)
        return fail(m_pColumns, QStringLiteral("Please enter an integer between %1 and %2.")
                                    .arg(kMinColumns)
                                    .arg(kMaxColumns));
    m_strSubtitle = ToCp1252(m_pSubtitle->text());
    if (m_pSubtitle->text().size() > kMaxTitleLength)
        return fail(m_pSubtitle, tooLong);
    return true;
}

// --- Edits and buttons -------------------------------------------------------------

void CLFView::OnPageFieldChanged() {
    if (!m_bInitializing)
        SetModified();
}

void CLFView::StepColumns(int delta) {
    int value = kMinColumns;
    if (ParseInteger(m_pColumns->text(), value))
        value = std::clamp(value + delta, kMinColumns, kMaxColumns);
    else
        value = kMinColumns;
    const QString text = QString::number(value);
    if (m_pColumns->text() != text)
        m_pColumns->setText(text);
}

void CLFView::OnBrowseTopImage() {
    CUiServices::FileDialogOptions o;
    o.filters = ImageFileFilters();
    o.confirmOverwrite = false;
    const QString path = CUiServices::Instance().GetOpenFileName(this, o);
    if (path.isEmpty())
        return;
    m_pTopImage->setText(path);
    SetModified();
}

// --- Tabs and column widths ---------------------------------------------------------

void CLFView::OnTabChanged(int index) {
    if (index < 0 || index == m_nCurrentTab)
        return;
    StoreColumnWidths(m_nCurrentTab);
    m_pDoc->ReplaceLinksFromList(m_nCurrentTab, m_pList->RowSource());
    LoadGroup(index);
    ApplyColumnWidths(index);
    m_nCurrentTab = index;
    emit commandStateChanged();
}

void CLFView::StoreColumnWidths(int tab) {
    if (tab < 0 || tab >= kGroupCount)
        return;
    m_colWidths[static_cast<size_t>(tab)] = {m_pList->columnWidth(0), m_pList->columnWidth(1)};
}

void CLFView::ApplyColumnWidths(int tab) {
    if (tab < 0 || tab >= kGroupCount)
        return;
    m_pList->setColumnWidth(0, m_colWidths[static_cast<size_t>(tab)][0]);
    m_pList->setColumnWidth(1, m_colWidths[static_cast<size_t>(tab)][1]);
}

void CLFView::LoadLayout(const CIniFile& ini) {
    for (int tab = 0; tab < kGroupCount; ++tab) {
        const std::string section = LayoutSection(tab);
        m_colWidths[static_cast<size_t>(tab)] = {ini.GetInt(section, "Col0", kDefaultCol0),
                                                 ini.GetInt(section, "Col1", kDefaultCol1)};
    }
    ApplyColumnWidths(m_nCurrentTab);
}

void CLFView::SaveLayout(CIniFile& ini) const {
    auto widths = m_colWidths;
    // The shown tab's widths are taken from the list as they are now.
    widths[static_cast<size_t>(m_nCurrentTab)] = {m_pList->columnWidth(0), m_pList->columnWidth(1)};
    for (int tab = 0; tab < kGroupCount; ++tab) {
        const std::string section = LayoutSection(tab);
        ini.SetInt(section, "Col0", widths[static_cast<size_t>(tab)][0]);
        ini.SetInt(section, "Col1", widths[static_cast<size_t>(tab)][1]);
    }
}

// --- Commands --------------------------------------------------------------------

bool CLFView::OnCommand(int id) {
    switch (id) {
    case cmd::ID_PAGE_GENERATE:
        OnPageGenerate(*this);
        return true;
    case cmd::ID_PAGE_PREVIEW:
        OnPagePreview(*this);
        return true;
    default:
        return m_pLinkCommands->OnCommand(id);
    }
}

bool CLFView::IsCommandEnabled(int id, bool& enabled) const {
    if (id == cmd::ID_PAGE_GENERATE || id == cmd::ID_PAGE_PREVIEW) {
        enabled = true;
        return true;
    }
    return m_pLinkCommands->IsCommandEnabled(id, enabled);
}

// --- Raw input ---------------------------------------------------------------------

bool CLFView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pTabs && event->type() == QEvent::ToolTip) {
        // Resting on a tab shows its group's title.
        auto* help = static_cast<QHelpEvent*>(event);
        const int tab = m_pTabs->tabAt(help->pos());
        if (tab < 0 || static_cast<size_t>(tab) >= m_pDoc->m_groups.size()) {
            QToolTip::hideText();
            return true;
        }
        const QString title = FromCp1252(m_pDoc->m_groups[static_cast<size_t>(tab)].m_strTitle);
        if (title.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), title, m_pTabs, m_pTabs->tabRect(tab));
        emit statusMessage(title);
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_pColumns && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            StepColumns(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
        if (key->key() == Qt::Key_Delete &&
            !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) &&
            m_pList->rect().contains(m_pList->mapFromGlobal(QCursor::pos()))) {
            // Deletes the selected rows; the key still reaches the focused control.
            m_pLinkCommands->OnCommand(cmd::ID_DELETE_LINK);
        }
    }
    return QWidget::eventFilter(watched, event);
}
