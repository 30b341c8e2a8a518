#include "editor/LinkCommands.h"

#include "core/UrlLines.h"
#include "dialogs/FontDialog.h"
#include "dialogs/GroupDialog.h"
#include "dialogs/LinkDialog.h"
#include "dialogs/PageColorsDialog.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "gui/CommandIds.h"
#include "gui/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include <algorithm>

namespace {

constexpr int kTitleFontPoints = 32;

QString clipboardText() {
    const QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard)
        return {};
    const QMimeData* mime = clipboard->mimeData();
    if (!mime || !mime->hasText())
        return {};
    return mime->text();
}

bool clipboardHasText() {
    const QClipboard* clipboard = QApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    return mime && mime->hasText();
}

} // namespace

LinkCommands::LinkCommands(ProjectForm* view) : QObject(view), m_form(view) {}

// --- focus -------------------------------------------------------------------------

bool LinkCommands::listHasFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    const LinkListView* list = m_form->linkList();
    return focus && list && (focus == list || list->isAncestorOf(focus));
}

QLineEdit* LinkCommands::focusedPageEdit() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return nullptr;
    for (QLineEdit* edit : {m_form->titleEdit(), m_form->subtitleEdit(), m_form->topImageEdit()}) {
        if (edit && focus == edit)
            return edit;
    }
    return nullptr;
}

bool LinkCommands::focusedEditHasSelection() const {
    const QLineEdit* edit = focusedPageEdit();
    return edit && edit->hasSelectedText();
}

// --- Routing -------------------------------------------------------------------------

bool LinkCommands::onCommand(int id) {
    switch (id) {
    case cmd::ID_ADD_LINK:
        onAddLink();
        return true;
    case cmd::ID_EDIT_DELETE:
    case cmd::ID_DELETE_LINK:
        deleteSelectedRows();
        return true;
    case cmd::ID_EDIT_CUT:
        onCut();
        return true;
    case cmd::ID_EDIT_COPY:
        copyUrls();
        return true;
    case cmd::ID_EDIT_PASTE:
        onPaste();
        return true;
    case cmd::ID_LINK_PROPERTIES:
        onLinkProperties();
        return true;
    case cmd::ID_GROUP_PROPERTIES:
        onGroupProperties();
        return true;
    default:
        return false;
    }
}

bool LinkCommands::isCommandEnabled(int id, bool& enabled) const {
    const LinkListView* list = m_form->linkList();
    const int selected = list ? list->selectedCount() : 0;
    switch (id) {
    case cmd::ID_ADD_LINK:
    case cmd::ID_GROUP_PROPERTIES:
        enabled = true;
        return true;
    case cmd::ID_EDIT_DELETE:
    case cmd::ID_DELETE_LINK:
        enabled = selected > 0;
        return true;
    case cmd::ID_EDIT_CUT:
    case cmd::ID_EDIT_COPY:
        enabled = listHasFocus() ? selected > 0 : focusedEditHasSelection();
        return true;
    case cmd::ID_EDIT_PASTE:
        if (listHasFocus())
            enabled = const_cast<LinkCommands*>(this)->pasteUrls(true) == 1;
        else
            enabled = focusedPageEdit() && clipboardHasText();
        return true;
    case cmd::ID_LINK_PROPERTIES:
        enabled = selected == 1;
        return true;
    default:
        return false;
    }
}

// --- Rows ----------------------------------------------------------------------------

void LinkCommands::onAddLink() {
    std::string description, url;
    if (!LinkDialog::edit(m_form, description, url))
        return;
    m_form->setLinkRow(description, url, -1);
    m_form->setModified();
}

void LinkCommands::deleteSelectedRows() {
    LinkListView* list = m_form->linkList();
    if (!listHasFocus()) {
        // The focused edit deletes its selected text; its change marks the
        // document modified.
        QLineEdit* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (edit && !edit->isReadOnly() && edit->hasSelectedText())
            edit->del();
        return;
    }
    const std::vector<int> rows = list->selectedRows(); // highest first
    list->deleteRows(rows);
    if (!rows.empty() && list->sourceRowCount() > 0) {
        // The row now standing where the lowest deleted row stood, or the
        // new last row.
        list->selectRow(std::min(rows.back(), list->sourceRowCount() - 1));
    }
    list->viewport()->update();
    m_form->setModified();
}

void LinkCommands::onCut() {
    if (listHasFocus()) {
        copyUrls();
        deleteSelectedRows();
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
        edit->cut();
        m_form->setModified();
    }
}

void LinkCommands::copyUrls() {
    if (!listHasFocus()) {
        if (QLineEdit* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            edit->copy();
        return;
    }
    const LinkListView* list = m_form->linkList();
    std::vector<int> rows = list->selectedRows();
    std::reverse(rows.begin(), rows.end()); // top to bottom, as the list shows them
    std::vector<Link> links;
    links.reserve(rows.size());
    for (int row : rows)
        links.emplace_back(list->sourceCellText(row, 0), list->sourceCellText(row, 1));
    if (QClipboard* clipboard = QApplication::clipboard())
        clipboard->setText(toQString(formatUrlLines(links)));
}

void LinkCommands::onPaste() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    if (listHasFocus()) {
        pasteUrls(false);
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(focus)) {
        edit->paste();
        m_form->setModified();
    }
}

int LinkCommands::pasteUrls(bool testMode) {
    const QString text = clipboardText();
    if (text.isEmpty())
        return 0;
    if (testMode) {
        // Only the first line that is not blank decides; convert just that.
        qsizetype start = 0;
        while (start < text.size() && text[start].isSpace())
            ++start;
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const QString line = text.mid(start, end < 0 ? -1 : end - start);
        return parseUrlText(toProjectText(line), true);
    }
    std::vector<Link> links;
    const int result = parseUrlText(toProjectText(text), false, &links);
    if (!links.empty()) {
        m_form->linkList()->appendRows(links);
        m_form->setModified();
    }
    return result;
}

void LinkCommands::onLinkProperties() {
    const LinkListView* list = m_form->linkList();
    const int row = list->focusedRow();
    if (row < 0)
        return;
    std::string description = list->sourceCellText(row, 0);
    std::string url = list->sourceCellText(row, 1);
    if (!LinkDialog::edit(m_form, description, url))
        return;
    m_form->setLinkRow(description, url, row);
    m_form->setModified();
}

void LinkCommands::onMoveUp() {
    LinkListView* list = m_form->linkList();
    const std::vector<int> rows = list->selectedRows();
    if (rows.size() != 1 || rows[0] == 0)
        return;
    const int i = rows[0];
    const std::string description = list->sourceCellText(i, 0);
    const std::string url = list->sourceCellText(i, 1);
    list->insertBlankRow(i - 1);
    m_form->setLinkRow(description, url, i - 1);
    list->deleteRow(i + 1);
    list->selectRow(i - 1);
    m_form->setModified();
}

void LinkCommands::onMoveDown() {
    LinkListView* list = m_form->linkList();
    const std::vector<int> rows = list->selectedRows();
    if (rows.size() != 1 || rows[0] >= list->sourceRowCount() - 1)
        return;
    const int i = rows[0];
    const std::string description = list->sourceCellText(i, 0);
    const std::string url = list->sourceCellText(i, 1);
    list->insertBlankRow(i + 2);
    m_form->setLinkRow(description, url, i + 2);
    list->deleteRow(i);
    list->selectRow(i + 1);
    m_form->setModified();
}

void LinkCommands::moveSelectedRowsToGroup(int group) {
    Project* doc = m_form->project();
    if (group < 0 || group >= doc->groupCount() || group == m_form->currentTab())
        return;
    LinkListView* list = m_form->linkList();
    const std::vector<int> rows = list->selectedRows(); // highest first
    if (rows.empty())
        return;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        doc->addLink(group, list->sourceCellText(*it, 0), list->sourceCellText(*it, 1));
    list->deleteRows(rows);
    m_form->setModified();
    list->viewport()->update();
}

// --- Page and group properties --------------------------------------------------------

void LinkCommands::onGroupProperties() {
    Project* doc = m_form->project();
    const int group = m_form->currentTab();
    if (group < 0 || group >= doc->groupCount())
        return;
    LinkGroup heading = doc->group(group);
    heading.m_links.clear();
    if (GroupDialog::edit(m_form, heading)) {
        doc->setGroupHeading(group, heading);
        m_form->setModified();
    }
}

void LinkCommands::onTitleFont() {
    Project* doc = m_form->project();
    std::string face = doc->titleFace();
    std::int32_t style = doc->titleStyle();
    RgbColor color = doc->titleColor();
    if (pickFont(m_form, kTitleFontPoints, face, style, color)) {
        doc->setTitleFace(std::move(face));
        doc->setTitleStyle(style);
        doc->setTitleColor(color);
        m_form->setModified();
    }
}

void LinkCommands::onColors() {
    Project* doc = m_form->project();
    RgbColor background = doc->backgroundColor();
    RgbColor link = doc->linkColor();
    RgbColor visited = doc->visitedLinkColor();
    if (PageColorsDialog::edit(m_form, background, link, visited)) {
        doc->setBackgroundColor(background);
        doc->setLinkColor(link);
        doc->setVisitedLinkColor(visited);
        m_form->setModified();
    }
}

// --- Context menu ------------------------------------------------------------------------

QMenu* LinkCommands::createContextMenu(QWidget* parent) const {
    struct Item {
        int id;
        const char* text;
    };
    static const Item kItems[] = {
        {cmd::ID_EDIT_CUT, "Cut\tCtrl+X"},
        {cmd::ID_EDIT_COPY, "&Copy\tCtrl+C"},
        {cmd::ID_EDIT_PASTE, "&Paste\tCtrl+V"},
        {cmd::ID_DELETE_LINK, "&Delete\tDel"},
        {0, nullptr},
        {cmd::ID_ADD_LINK, "&Add..."},
        {cmd::ID_GROUP_PROPERTIES, "&Group Properties"},
        {cmd::ID_LINK_PROPERTIES, "&Link Properties"},
    };
    auto* menu = new QMenu(parent);
    for (const Item& item : kItems) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QStringLiteral("ctx%1").arg(item.id));
        bool enabled = false;
        isCommandEnabled(item.id, enabled);
        action->setEnabled(enabled);
        const int id = item.id;
        ProjectForm* view = m_form;
        connect(action, &QAction::triggered, view, [view, id] {
            view->onCommand(id);
            emit view->commandStateChanged();
        });
    }
    return menu;
}

void LinkCommands::showContextMenu(const QPoint& globalPos) {
    QMenu* menu = createContextMenu(m_form);
    menu->exec(globalPos);
    delete menu;
}
