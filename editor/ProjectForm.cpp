#include "editor/ProjectForm.h"

#include "core/SettingsFile.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/SingleLineValidator.h"
#include "editor/LinkCommands.h"
#include "editor/LinkListModel.h"
#include "editor/LinkListView.h"
#include "editor/PageCommands.h"
#include "editor/ProjectCommands.h"
#include "editor/ProjectDocument.h"
#include "editor/SpinArrows.h"
#include "gui/ImageFilters.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QToolTip>
#include <QValidator>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>

namespace {

constexpr int kDefaultCol0 = LinkListView::kDefaultColumnWidths[0];
constexpr int kDefaultCol1 = LinkListView::kDefaultColumnWidths[1];
constexpr int kMinColumns = 1;
constexpr int kMaxColumns = 4;

// The form's size in layout units (see DialogUnits). The main window is not
// resizable by design: the form keeps this size, which follows the user's
// font, and every control has a fixed place on it (placeControls).
constexpr QRect kForm(0, 0, 378, 171);

// A decimal integer with optional surrounding blanks and sign.
bool parseInteger(const QString& text, int& value) {
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

// The "# Columns:" field: read-only text with spin arrows beside it, which a
// screen reader is told is a spin button with its value, bounds and steps.
class ColumnsField : public QLineEdit {
public:
    explicit ColumnsField(ProjectForm* form) : QLineEdit(form), m_form(form) {}
    ProjectForm* form() const { return m_form; }

private:
    ProjectForm* m_form;
};

class ColumnsFieldAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ColumnsFieldAccessible(ColumnsField* field)
        : QAccessibleWidget(field, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return field()->text();
        return QAccessibleWidget::text(t);
    }

    // QAccessibleValueInterface
    QVariant currentValue() const override {
        bool ok = false;
        const int value = field()->text().trimmed().toInt(&ok);
        return ok ? QVariant(value) : QVariant();
    }
    void setCurrentValue(const QVariant& value) override {
        const int wanted = std::clamp(value.toInt(), kMinColumns, kMaxColumns);
        const QVariant now = currentValue();
        field()->form()->stepColumns(wanted - (now.isValid() ? now.toInt() : kMinColumns));
    }
    QVariant maximumValue() const override { return kMaxColumns; }
    QVariant minimumValue() const override { return kMinColumns; }
    QVariant minimumStepSize() const override { return 1; }

    // QAccessibleActionInterface
    QStringList actionNames() const override { return {increaseAction(), decreaseAction()}; }
    void doAction(const QString& action) override {
        if (action == increaseAction())
            field()->form()->stepColumns(1);
        else if (action == decreaseAction())
            field()->form()->stepColumns(-1);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    ColumnsField* field() const { return static_cast<ColumnsField*>(widget()); }
};

QAccessibleInterface* columnsFieldAccessible(const QString&, QObject* object) {
    if (auto* field = dynamic_cast<ColumnsField*>(object))
        return new ColumnsFieldAccessible(field);
    return nullptr;
}

std::string layoutSection(int tab) {
    char name[32];
    std::snprintf(name, sizeof name, "Page%dLayout", tab);
    return name;
}

} // namespace

// Merge ids of the page controls' steps: typing in one field is one step.
enum FieldStep { kTitleStep = 1, kSubtitleStep, kTopImageStep, kColumnsStep };

ProjectForm::ProjectForm(ProjectDocument* document, QWidget* parent)
    : QWidget(parent), m_document(document), m_project(&document->project()) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(columnsFieldAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    for (auto& w : m_colWidths)
        w = {kDefaultCol0, kDefaultCol1};
    buildForm();
    connect(m_document, &ProjectDocument::changeDone, this, &ProjectForm::showChange);
    connect(m_document, &ProjectDocument::stateChanged, this, &ProjectForm::commandStateChanged);
    m_project->addObserver(this);
    m_list->setProject(m_project);
    m_linkCommands = new LinkCommands(this);

    connect(m_fontButton, &QPushButton::clicked, m_linkCommands, &LinkCommands::titleFont);
    connect(m_colorsButton, &QPushButton::clicked, m_linkCommands, &LinkCommands::colors);
    connect(m_propertiesButton, &QPushButton::clicked, m_linkCommands,
            &LinkCommands::groupProperties);
    connect(m_moveUpButton, &QPushButton::clicked, m_linkCommands, &LinkCommands::moveUp);
    connect(m_moveDownButton, &QPushButton::clicked, m_linkCommands, &LinkCommands::moveDown);
    connect(m_browseButton, &QPushButton::clicked, this, &ProjectForm::onBrowseTopImage);
    connect(m_spin, &SpinArrows::stepped, this, &ProjectForm::stepColumns);
    for (QLineEdit* e : {m_titleEdit, m_subtitleEdit, m_topImageEdit, m_columnsEdit})
        connect(e, &QLineEdit::textChanged, this, [this, e] { onPageFieldChanged(e); });
    connect(m_bordersCheck, &QCheckBox::clicked, this,
            [this] { onPageFieldChanged(m_bordersCheck); });
    connect(m_tabs, &QTabBar::currentChanged, this, &ProjectForm::onTabChanged);

    connect(m_list, &LinkListView::rowMoveRequested, m_linkCommands, &LinkCommands::moveRow);
    connect(m_list, &LinkListView::linksDropped, m_linkCommands, &LinkCommands::addDroppedLinks);
    connect(m_list, &LinkListView::rowsDroppedOnTab, m_linkCommands,
            &LinkCommands::moveSelectedRowsToGroup);
    connect(m_list, &LinkListView::contextMenuRequested, m_linkCommands,
            &LinkCommands::showContextMenu);
    connect(m_list, &LinkListView::linkDoubleClicked, m_linkCommands,
            &LinkCommands::linkProperties);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ProjectForm::commandStateChanged);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ProjectForm::commandStateChanged);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
        if (to && isAncestorOf(to))
            m_lastFocus = to;
        // Typing after the keyboard comes back to a field is a new step.
        if (from && qobject_cast<QLineEdit*>(from) && isAncestorOf(from))
            m_document->endTyping();
        if ((from && isAncestorOf(from)) || (to && isAncestorOf(to)))
            emit commandStateChanged();
    });

    // Next and previous group from anywhere in the form, beside the clicks
    // on the tabs.
    const struct {
        QKeyCombination key;
        int delta;
    } groupKeys[] = {
        {Qt::CTRL | Qt::Key_Tab, 1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1},
        {Qt::CTRL | Qt::Key_PageDown, 1},
        {Qt::CTRL | Qt::Key_PageUp, -1},
    };
    for (const auto& k : groupKeys) {
        auto* shortcut = new QShortcut(QKeySequence(k.key), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        const int delta = k.delta;
        connect(shortcut, &QShortcut::activated, this, [this, delta] { switchGroup(delta); });
    }
}

ProjectForm::~ProjectForm() {
    m_project->removeObserver(this);
    m_list->setProject(nullptr);
    // The controls go after this object's part: their last focus and
    // selection changes must not reach it.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    m_list->selectionModel()->disconnect(this);
    m_list->disconnect(this);
}

// --- The form ------------------------------------------------------------------

void ProjectForm::buildForm() {
    auto* pageBox = new QGroupBox(tr("Page"), this);
    auto* groupsBox = new QGroupBox(tr("URL Groups"), this);
    m_pageBox = pageBox;
    m_groupsBox = groupsBox;
    auto* pagePicture = new QLabel(this);
    pagePicture->setPixmap(QPixmap(QStringLiteral(":/images/page.png")));
    pagePicture->setAlignment(Qt::AlignCenter);
    m_pagePicture = pagePicture;
    auto* groupsPicture = new QLabel(this);
    groupsPicture->setPixmap(QPixmap(QStringLiteral(":/images/groups.png")));
    groupsPicture->setAlignment(Qt::AlignCenter);
    m_groupsPicture = groupsPicture;
    auto* titleLabel = new QLabel(tr("Title:"), this);
    auto* imageLabel = new QLabel(tr("Image at Top:"), this);
    auto* columnsLabel = new QLabel(tr("# Columns:"), this);
    m_titleLabel = titleLabel;
    m_imageLabel = imageLabel;
    m_columnsLabel = columnsLabel;

    m_titleEdit = new QLineEdit(this);
    m_titleEdit->setObjectName(QStringLiteral("titleEdit"));
    SingleLineValidator::install(m_titleEdit, kMaxTitleLength);
    m_subtitleEdit = new QLineEdit(this);
    m_subtitleEdit->setObjectName(QStringLiteral("subtitleEdit"));
    // The subtitle has no label of its own: its name is for screen readers.
    m_subtitleEdit->setAccessibleName(tr("Subtitle"));
    SingleLineValidator::install(m_subtitleEdit, kMaxTitleLength);
    m_fontButton = new QPushButton(tr("Font"), this);
    m_fontButton->setObjectName(QStringLiteral("fontButton"));
    m_fontButton->setAccessibleName(tr("Title font"));
    m_topImageEdit = new QLineEdit(this);
    m_topImageEdit->setObjectName(QStringLiteral("topImageEdit"));
    SingleLineValidator::install(m_topImageEdit);
    m_browseButton = new QPushButton(tr("Browse..."), this);
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_browseButton->setAccessibleName(tr("Browse for the image at top"));
    m_columnsEdit = new ColumnsField(this);
    m_columnsEdit->setObjectName(QStringLiteral("columnsEdit"));
    m_columnsEdit->setReadOnly(true);
    m_columnsEdit->setAlignment(Qt::AlignRight);
    m_columnsEdit->installEventFilter(this);
    titleLabel->setBuddy(m_titleEdit);
    imageLabel->setBuddy(m_topImageEdit);
    columnsLabel->setBuddy(m_columnsEdit);
    m_spin = new SpinArrows(this);
    m_spin->setObjectName(QStringLiteral("columnsSpin"));
    m_bordersCheck = new QCheckBox(tr("URL Group Borders"), this);
    m_bordersCheck->setObjectName(QStringLiteral("bordersCheck"));
    m_colorsButton = new QPushButton(tr("Colors"), this);
    m_colorsButton->setObjectName(QStringLiteral("colorsButton"));

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    m_tabPanel = panel;
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("groupTabs"));
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setDrawBase(false);
    for (int i = 0; i < kGroupCount; ++i) {
        m_tabs->addTab(QString::number(i + 1));
        nameTab(i);
    }
    m_tabs->installEventFilter(this);

    m_list = new LinkListView(this);
    m_list->setObjectName(QStringLiteral("linkList"));
    m_list->setTabTarget(m_tabs);
    m_propertiesButton = new QPushButton(tr("Properties..."), this);
    m_propertiesButton->setObjectName(QStringLiteral("propertiesButton"));
    m_moveUpButton = new QPushButton(tr("Move Up"), this);
    m_moveUpButton->setObjectName(QStringLiteral("moveUpButton"));
    m_moveDownButton = new QPushButton(tr("Move Down"), this);
    m_moveDownButton->setObjectName(QStringLiteral("moveDownButton"));

    // Keyboard order of the form.
    QWidget* order[] = {m_titleEdit,     m_subtitleEdit, m_fontButton,       m_topImageEdit,
                        m_browseButton,  m_columnsEdit,  m_bordersCheck,     m_colorsButton,
                        m_tabs,          m_list,         m_propertiesButton, m_moveUpButton,
                        m_moveDownButton};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    // Del over the list deletes rows whichever control has the focus.
    for (QWidget* w : order)
        w->installEventFilter(this);

    placeControls();
    // The list lies over the tab panel.
    m_list->raise();
}

void ProjectForm::placeControls() {
    // Fixed places by design (see kForm), in layout units of the form's font.
    const DialogUnits units(font());
    const int baseY = units.baseY();
    auto px = [&units](int x, int y, int w, int h) { return units.rect(x, y, w, h); };
    m_pagePicture->setGeometry(px(7, 3, 15, 18));
    m_groupsPicture->setGeometry(px(7, 73, 15, 10));
    m_pageBox->setGeometry(px(26, 0, 345, 69));
    m_groupsBox->setGeometry(px(26, 69, 345, 98));
    // Each label spans its field's height, so that its text (centred
    // vertically) stands on the field's text line.
    m_titleLabel->setGeometry(px(30, 7, 45, 14));
    m_imageLabel->setGeometry(px(30, 37, 50, 14));
    m_columnsLabel->setGeometry(px(30, 52, 50, 14));
    m_titleEdit->setGeometry(px(82, 7, 233, 14));
    m_subtitleEdit->setGeometry(px(82, 22, 233, 14));
    m_fontButton->setGeometry(px(319, 7, 43, 14));
    m_topImageEdit->setGeometry(px(82, 37, 233, 14));
    m_browseButton->setGeometry(px(319, 37, 43, 14));
    m_columnsEdit->setGeometry(px(82, 52, 24, 14));
    m_spin->setGeometry(px(105, 52, 11, 14));
    m_bordersCheck->setGeometry(px(135, 54, 86, 10).adjusted(0, -2, 0, 2));
    m_colorsButton->setGeometry(px(319, 53, 43, 14));

    const QRect tabArea = px(32, 79, 334, 85);
    const int tabHeight = m_tabs->sizeHint().height();
    m_tabs->setGeometry(tabArea.left(), tabArea.top(), tabArea.width(), tabHeight);
    m_tabPanel->setGeometry(tabArea.left(), tabArea.top() + tabHeight - 1, tabArea.width(),
                            tabArea.height() - tabHeight + 1);
    QRect list = px(39, 94, 276, 65);
    const int listTop = std::max(list.top(), tabArea.top() + tabHeight + 4);
    list.setTop(listTop);
    list.setBottom(std::max(list.bottom(), listTop + 3 * baseY));

    // The buttons beside the list share one width and keep their right
    // edge; when a text needs more room they grow to the left and the list
    // gives way.
    int sideWidth = 0;
    for (const QPushButton* button : {m_propertiesButton, m_moveUpButton, m_moveDownButton})
        sideWidth = std::max(sideWidth, button->sizeHint().width());
    auto sideButton = [&](QPushButton* button, QRect place) {
        place.setLeft(place.right() + 1 - std::max(place.width(), sideWidth));
        place.setHeight(std::max(place.height(), button->sizeHint().height()));
        button->setGeometry(place);
        list.setRight(std::min(list.right(), place.left() - baseY / 4 - 1));
    };
    // Properties stands level with the top of the list, clear of the panel's
    // border.
    QRect properties = px(319, 94, 43, 14);
    properties.moveTop(listTop);
    sideButton(m_propertiesButton, properties);
    sideButton(m_moveUpButton, px(319, 129, 43, 14));
    sideButton(m_moveDownButton, px(319, 146, 43, 14));
    m_list->setGeometry(list);

    const QRect form = px(kForm.x(), kForm.y(), kForm.width(), kForm.height());
    const int bottom = std::max(form.height(), m_tabPanel->geometry().bottom() + baseY / 2);
    m_classicSize = QSize(form.width(), bottom);
    m_classicPlaces.clear();
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        m_classicPlaces.emplace_back(w, w->geometry());
    setMinimumSize(m_classicSize);
    resize(std::max(width(), m_classicSize.width()), std::max(height(), m_classicSize.height()));
    growControls();
}

void ProjectForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    growControls();
}

void ProjectForm::growControls() {
    // At the classic size every control stands at its classic place. Room
    // beyond it goes to the fields (wider), the buttons at their right
    // (moved along), and the groups' panel with its link list (wider and
    // taller); the rest stays where it is.
    const int dx = std::max(0, width() - m_classicSize.width());
    const int dy = std::max(0, height() - m_classicSize.height());
    for (const auto& [widget, classic] : m_classicPlaces) {
        if (!widget)
            continue;
        QRect place = classic;
        if (widget == m_pageBox || widget == m_titleEdit || widget == m_subtitleEdit ||
            widget == m_topImageEdit || widget == m_tabs) {
            place.setWidth(classic.width() + dx);
        } else if (widget == m_fontButton || widget == m_browseButton || widget == m_colorsButton ||
                   widget == m_propertiesButton || widget == m_moveUpButton ||
                   widget == m_moveDownButton) {
            place.translate(dx, 0);
        } else if (widget == m_groupsBox || widget == m_tabPanel || widget == m_list) {
            place.setSize(classic.size() + QSize(dx, dy));
        }
        if (widget->geometry() != place)
            widget->setGeometry(place);
    }
    // The URL column takes the list's extra width.
    if (m_list && dx != m_urlColumnGrowth) {
        m_list->setColumnWidth(1, std::max(1, m_list->columnWidth(1) + dx - m_urlColumnGrowth));
        m_urlColumnGrowth = dx;
    }
}

// --- Accessors -----------------------------------------------------------------

LinkListView* ProjectForm::linkList() const {
    return m_list;
}
QTabBar* ProjectForm::tabBar() const {
    return m_tabs;
}
QLineEdit* ProjectForm::titleEdit() const {
    return m_titleEdit;
}
QLineEdit* ProjectForm::subtitleEdit() const {
    return m_subtitleEdit;
}
QLineEdit* ProjectForm::topImageEdit() const {
    return m_topImageEdit;
}
QLineEdit* ProjectForm::columnsEdit() const {
    return m_columnsEdit;
}
int ProjectForm::currentTab() const {
    return m_currentTab;
}

int ProjectForm::storedColumnWidth(int tab, int column) const {
    if (tab < 0 || tab >= kGroupCount || column < 0 || column > 1)
        return 0;
    return m_colWidths[static_cast<size_t>(tab)][static_cast<size_t>(column)];
}

// --- Filling the form and giving it back -----------------------------------------

void ProjectForm::loadFromProject() {
    m_initializing = true;
    showFields();
    if (m_firstUpdate) {
        // Later New and open keep the widths the columns have.
        applyColumnWidths(0);
        m_firstUpdate = false;
    }
    loadGroup(0);
    m_currentTab = 0;
    m_initializing = false;
    m_document->reset();
    emit commandStateChanged();
}

void ProjectForm::nameTab(int group) {
    if (group < 0 || group >= m_tabs->count())
        return;
    const QString number = QString::number(group + 1);
    const QString title =
        group < m_project->groupCount() ? toQString(m_project->group(group).title) : QString();
    m_tabs->setAccessibleTabName(group, title.isEmpty() ? tr("Group %1").arg(number)
                                                        : tr("Group %1: %2").arg(number, title));
}

void ProjectForm::headingChanged(int group) {
    nameTab(group);
}

void ProjectForm::projectReset() {
    for (int i = 0; i < kGroupCount; ++i)
        nameTab(i);
}

int ProjectForm::loadGroup(int group) {
    m_list->setAccessibleName(tr("Links of group %1").arg(group + 1));
    m_propertiesButton->setAccessibleName(tr("Properties of group %1").arg(group + 1));
    {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(group);
    }
    m_list->setGroup(group);
    return m_list->linkCount();
}

void ProjectForm::showFields() {
    const bool initializing = m_initializing;
    m_initializing = true;
    std::int32_t borders = m_project->borders();
    if (borders < 0 || borders > 2)
        borders = 0;
    m_bordersCheck->setTristate(borders == 2);
    m_bordersCheck->setCheckState(borders == 0   ? Qt::Unchecked
                                  : borders == 1 ? Qt::Checked
                                                 : Qt::PartiallyChecked);
    auto show = [](QLineEdit* edit, const QString& text) {
        if (edit->text() != text)
            SingleLineValidator::showStoredText(edit, text);
    };
    show(m_titleEdit, toQString(m_project->title()));
    show(m_topImageEdit, toQString(m_project->topImage()));
    show(m_columnsEdit, QString::number(m_project->columns()));
    show(m_subtitleEdit, toQString(m_project->subtitle()));
    m_initializing = initializing;
}

bool ProjectForm::checkFields() {
    int columns = 0;
    const bool columnsIsNumber = parseInteger(m_columnsEdit->text(), columns);
    auto fail = [this](QLineEdit* edit, const QString& message) {
        showError(this, message);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    };
    const QString tooLong = tr("Please enter no more than %1 characters.").arg(kMaxTitleLength);
    if (characterCount(m_titleEdit->text()) > kMaxTitleLength)
        return fail(m_titleEdit, tooLong);
    if (!columnsIsNumber)
        return fail(m_columnsEdit, tr("Please enter an integer."));
    if (columns < kMinColumns || columns > kMaxColumns)
        return fail(
            m_columnsEdit,
            tr("Please enter an integer between %1 and %2.").arg(kMinColumns).arg(kMaxColumns));
    if (characterCount(m_subtitleEdit->text()) > kMaxTitleLength)
        return fail(m_subtitleEdit, tooLong);
    return true;
}

void ProjectForm::pageChanged() {
    // An undo, a redo or a dialog changed the page: the controls follow. A
    // control's own change finds itself already shown.
    if (!m_initializing)
        showFields();
}

void ProjectForm::showChange(const ShownChange& shown) {
    if (shown.group < 0 || shown.group >= m_project->groupCount())
        return;
    if (shown.group != m_currentTab)
        m_tabs->setCurrentIndex(shown.group);
    std::vector<int> rows;
    if (!shown.select.empty()) {
        const std::vector<LinkId>& ids = m_project->linkIds(shown.group);
        std::vector<LinkId> wanted = shown.select;
        std::sort(wanted.begin(), wanted.end());
        for (std::size_t r = 0; r < ids.size(); ++r)
            if (std::binary_search(wanted.begin(), wanted.end(), ids[r]))
                rows.push_back(static_cast<int>(r));
    } else if (shown.selectRow && m_list->linkCount() > 0) {
        rows.push_back(std::min(static_cast<int>(shown.row), m_list->linkCount() - 1));
    }
    m_list->showRows(rows);
    m_list->viewport()->update();
    emit commandStateChanged();
}

// --- Edits and buttons -------------------------------------------------------------

void ProjectForm::onPageFieldChanged(QObject* control) {
    if (m_initializing)
        return;
    PageSettings page = m_project->pageSettings();
    QString name;
    int step = -1;
    if (control == m_titleEdit) {
        page.title = toProjectText(m_titleEdit->text());
        name = tr("Typing in Title");
        step = kTitleStep;
    } else if (control == m_subtitleEdit) {
        page.subtitle = toProjectText(m_subtitleEdit->text());
        name = tr("Typing in Subtitle");
        step = kSubtitleStep;
    } else if (control == m_topImageEdit) {
        page.topImage = toProjectText(m_topImageEdit->text());
        name = tr("Typing in Image at Top");
        step = kTopImageStep;
    } else if (control == m_columnsEdit) {
        // A count that is no number keeps the count before it.
        int columns = 0;
        if (!parseInteger(m_columnsEdit->text(), columns))
            return;
        page.columns = columns;
        name = tr("Columns");
        step = kColumnsStep;
    } else if (control == m_bordersCheck) {
        const Qt::CheckState borders = m_bordersCheck->checkState();
        page.borders = borders == Qt::Unchecked ? 0 : borders == Qt::Checked ? 1 : 2;
        name = tr("URL Group Borders");
    }
    auto* command =
        new PageSettingsCommand(*m_project, name, page, step, m_document->typingSession());
    if (command->changesNothing()) {
        delete command;
        return;
    }
    m_initializing = true; // the project's change comes back to the controls
    m_document->push(command);
    m_initializing = false;
}

void ProjectForm::stepColumns(int delta) {
    int value = kMinColumns;
    if (parseInteger(m_columnsEdit->text(), value))
        value = std::clamp(value + delta, kMinColumns, kMaxColumns);
    else
        value = kMinColumns;
    const QString text = QString::number(value);
    if (m_columnsEdit->text() != text)
        m_columnsEdit->setText(text);
}

void ProjectForm::onBrowseTopImage() {
    UiServices::FileDialogOptions o;
    o.filters = imageFileFilters();
    o.confirmOverwrite = false;
    const QString path = UiServices::instance().getOpenFileName(this, o);
    if (path.isEmpty())
        return;
    // Shown from its beginning; the field's change is the project's step.
    SingleLineValidator::showStoredText(m_topImageEdit, path);
}

// --- Tabs and column widths ---------------------------------------------------------

void ProjectForm::onTabChanged(int index) {
    if (index < 0 || index == m_currentTab)
        return;
    storeColumnWidths(m_currentTab);
    loadGroup(index);
    applyColumnWidths(index);
    m_currentTab = index;
    emit commandStateChanged();
}

void ProjectForm::storeColumnWidths(int tab) {
    if (tab < 0 || tab >= kGroupCount)
        return;
    // The URL column's share of a wider window is not the user's width.
    m_colWidths[static_cast<size_t>(tab)] = {
        m_list->columnWidth(0), std::max(1, m_list->columnWidth(1) - m_urlColumnGrowth)};
}

void ProjectForm::applyColumnWidths(int tab) {
    if (tab < 0 || tab >= kGroupCount)
        return;
    m_list->setColumnWidth(0, m_colWidths[static_cast<size_t>(tab)][0]);
    m_list->setColumnWidth(1, m_colWidths[static_cast<size_t>(tab)][1] + m_urlColumnGrowth);
}

void ProjectForm::loadLayout(const SettingsFile& ini) {
    for (int tab = 0; tab < kGroupCount; ++tab) {
        const std::string section = layoutSection(tab);
        m_colWidths[static_cast<size_t>(tab)] = {ini.intValue(section, "Col0", kDefaultCol0),
                                                 ini.intValue(section, "Col1", kDefaultCol1)};
    }
    applyColumnWidths(m_currentTab);
}

void ProjectForm::saveLayout(SettingsFile& ini) const {
    auto widths = m_colWidths;
    // The shown tab's widths are taken from the list as they are now.
    widths[static_cast<size_t>(m_currentTab)] = {m_list->columnWidth(0), m_list->columnWidth(1)};
    for (int tab = 0; tab < kGroupCount; ++tab) {
        const std::string section = layoutSection(tab);
        ini.setIntValue(section, "Col0", widths[static_cast<size_t>(tab)][0]);
        ini.setIntValue(section, "Col1", widths[static_cast<size_t>(tab)][1]);
    }
}

// --- Commands --------------------------------------------------------------------

void ProjectForm::generate() {
    checkFields();
    generatePage(this, *m_project);
}

void ProjectForm::preview() {
    checkFields();
    previewPage(this, *m_project);
}

int ProjectForm::selectedLinkCount() const {
    return m_linkCommands->selectedLinkCount();
}
bool ProjectForm::canCut() const {
    return m_linkCommands->canCut();
}
bool ProjectForm::canCopy() const {
    return m_linkCommands->canCopy();
}
bool ProjectForm::canPaste() const {
    return m_linkCommands->canPaste();
}
bool ProjectForm::canPasteLinks() const {
    return m_linkCommands->canPasteLinks();
}

QWidget* ProjectForm::commandFocus() const {
    QWidget* focus = QApplication::focusWidget();
    const bool menuHasKeyboard = qobject_cast<QMenuBar*>(focus) || qobject_cast<QMenu*>(focus) ||
                                 (!focus && QApplication::activePopupWidget());
    if (menuHasKeyboard && !(focus && isAncestorOf(focus)))
        return m_lastFocus;
    return focus;
}

void ProjectForm::switchGroup(int delta) {
    const int count = m_tabs->count();
    if (count <= 0)
        return;
    m_tabs->setCurrentIndex(((m_tabs->currentIndex() + delta) % count + count) % count);
}

void ProjectForm::showListContextMenuAtCurrentRow() {
    const QModelIndex current = m_list->currentIndex();
    QPoint pos = m_list->viewport()->rect().topLeft();
    if (current.isValid()) {
        const QRect row = m_list->visualRect(current);
        pos = QPoint(row.left() + row.height() / 2, row.bottom());
    }
    m_linkCommands->showContextMenu(m_list->viewport()->mapToGlobal(pos));
}

// --- raw input ---------------------------------------------------------------------

void ProjectForm::showFieldContextMenu(QLineEdit* edit, const QPoint& globalPos) {
    // The field's own menu, but its Undo and Redo are the document's: the
    // field's typing is already a step there.
    std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    const QList<QAction*> actions = menu->actions();
    // Qt names them "edit-undo" and "edit-redo" from 6.5; before, they are
    // the first two items of a field that can be edited.
    auto find = [&actions, edit](const char* name, qsizetype fallback) -> QAction* {
        for (QAction* a : actions)
            if (a->objectName() == QLatin1String(name))
                return a;
        return !edit->isReadOnly() && actions.size() > fallback ? actions[fallback] : nullptr;
    };
    const std::pair<QAction*, bool> steps[] = {{find("edit-undo", 0), true},
                                               {find("edit-redo", 1), false}};
    for (const auto& [action, undo] : steps) {
        if (!action)
            continue;
        action->disconnect();
        action->setEnabled(undo ? m_document->canUndo() : m_document->canRedo());
        connect(action, &QAction::triggered, m_document,
                undo ? &ProjectDocument::undo : &ProjectDocument::redo);
    }
    menu->exec(globalPos);
}

bool ProjectForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tabs && event->type() == QEvent::ToolTip) {
        // Resting on a tab shows its group's title.
        auto* help = static_cast<QHelpEvent*>(event);
        const int tab = m_tabs->tabAt(help->pos());
        if (tab < 0 || tab >= m_project->groupCount()) {
            QToolTip::hideText();
            return true;
        }
        const QString title = toQString(m_project->group(tab).title);
        if (title.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), title, m_tabs, m_tabs->tabRect(tab));
        emit statusMessage(title);
        return true;
    }
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::MenuBarFocusReason &&
        qobject_cast<QLineEdit*>(watched)) {
        // The menu bar borrows the keyboard: the field keeps its selection,
        // as it does for a popup menu, so the Edit menu can act on it.
        QFocusEvent borrowed(QEvent::FocusOut, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(watched, &borrowed);
        return true;
    }
    if (event->type() == QEvent::ContextMenu) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            showFieldContextMenu(edit, static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_columnsEdit && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            stepColumns(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
        const Qt::KeyboardModifiers mods =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        const bool listFocused = watched == m_list;
        if (key->key() == Qt::Key_Delete && !mods && watched == QApplication::focusWidget() &&
            (listFocused || (!qobject_cast<QLineEdit*>(watched) &&
                             m_list->rect().contains(m_list->mapFromGlobal(QCursor::pos()))))) {
            // Deletes the selected rows, also while the pointer rests on the
            // list and a button has the focus; a text field keeps Del for
            // its text.
            m_linkCommands->deleteSelected();
            if (listFocused)
                return true;
        }
        if (listFocused && !mods && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            // Enter opens the current row's properties, as a double-click does.
            if (m_list->focusedRow() >= 0)
                m_linkCommands->linkProperties();
            return true;
        }
        if (listFocused && ((key->key() == Qt::Key_Menu && !mods) ||
                            (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier))) {
            showListContextMenuAtCurrentRow();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
