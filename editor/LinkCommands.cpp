#include "editor/LinkCommands.h"

#include "core/UrlLines.h"
#include "dialogs/FontDialog.h"
#include "dialogs/GroupDialog.h"
#include "dialogs/LinkDialog.h"
#include "dialogs/PageColorsDialog.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "gui/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include <algorithm>
#include <memory>

namespace {

constexpr int kTitleFontPoints = 32;

// How much of the clipboard's text decides whether Paste takes links: the
// first line that is not blank, looked for within this many characters.
constexpr qsizetype kPasteDecisionWindow = 64 * 1024;

const QMimeData* clipboardMime() {
    const QClipboard* clipboard = QApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

QString clipboardText() {
    const QMimeData* mime = clipboardMime();
    return mime && mime->hasText() ? mime->text() : QString();
}

// Shows the busy cursor while a long command runs.
struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

LinkCommands::LinkCommands(ProjectForm* view) : QObject(view), m_form(view) {
    if (QClipboard* clipboard = QApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &LinkCommands::readClipboard);
    readClipboard();
}

void LinkCommands::readClipboard() {
    const QMimeData* mime = clipboardMime();
    m_clipboardHasText = mime && mime->hasText();
    m_clipboardHasUrlLine = false;
    if (!m_clipboardHasText)
        return;
    const QString text = mime->text();
    // Only the first line that is not blank decides; convert just that.
    qsizetype start = 0;
    const qsizetype limit = std::min(text.size(), kPasteDecisionWindow);
    while (start < limit && text[start].isSpace())
        ++start;
    if (start >= limit)
        return;
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), start);
    const qsizetype end = lineEnd < 0 ? std::min(text.size(), start + kPasteDecisionWindow)
                                      : std::min(lineEnd, start + kPasteDecisionWindow);
    m_clipboardHasUrlLine = startsWithUrlLine(toProjectText(text.mid(start, end - start)));
}

// --- focus -------------------------------------------------------------------------

bool LinkCommands::listHasFocus() const {
    const QWidget* focus = m_form->commandFocus();
    const LinkListView* list = m_form->linkList();
    return focus && list && (focus == list || list->isAncestorOf(focus));
}

QLineEdit* LinkCommands::focusedPageEdit() const {
    QWidget* focus = m_form->commandFocus();
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

// --- Enable rules ----------------------------------------------------------------------

int LinkCommands::selectedLinkCount() const {
    const LinkListView* list = m_form->linkList();
    return list ? list->selectedCount() : 0;
}

bool LinkCommands::canCut() const {
    return listHasFocus() ? selectedLinkCount() > 0 : focusedEditHasSelection();
}

bool LinkCommands::canPaste() const {
    if (listHasFocus())
        return canPasteLinks();
    return focusedPageEdit() && m_clipboardHasText;
}

// --- Rows ----------------------------------------------------------------------------

void LinkCommands::addLink() {
    const auto link = LinkDialog::edit(m_form, {});
    if (!link)
        return;
    m_form->setLinkRow(link->description, link->url, -1);
    m_form->setModified();
}

void LinkCommands::deleteSelected() {
    LinkListView* list = m_form->linkList();
    if (!listHasFocus()) {
        // The focused edit deletes its selected text; its change marks the
        // document modified.
        QLineEdit* edit = qobject_cast<QLineEdit*>(m_form->commandFocus());
        if (edit && !edit->isReadOnly() && edit->hasSelectedText())
            edit->del();
        return;
    }
    const std::vector<int> rows = list->selectedRows(); // highest first
    list->deleteRows(rows);
    if (!rows.empty() && list->linkCount() > 0) {
        // The row now standing where the lowest deleted row stood, or the
        // new last row.
        list->selectRow(std::min(rows.back(), list->linkCount() - 1));
    }
    list->viewport()->update();
    m_form->setModified();
}

void LinkCommands::cut() {
    if (listHasFocus()) {
        copyLinks();
        deleteSelected();
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(m_form->commandFocus())) {
        edit->cut();
        m_form->setModified();
    }
}

void LinkCommands::copy() {
    if (listHasFocus()) {
        copyLinks();
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(m_form->commandFocus()))
        edit->copy();
}

void LinkCommands::copyLinks() {
    const LinkListView* list = m_form->linkList();
    std::vector<int> rows = list->selectedRows();
    std::reverse(rows.begin(), rows.end()); // top to bottom, as the list shows them
    std::vector<Link> links;
    links.reserve(rows.size());
    for (int row : rows)
        links.emplace_back(list->cellText(row, 0), list->cellText(row, 1));
    if (QClipboard* clipboard = QApplication::clipboard())
        clipboard->setText(toQString(formatUrlLines(links)));
}

void LinkCommands::paste() {
    QWidget* focus = m_form->commandFocus();
    if (!focus)
        return;
    if (listHasFocus()) {
        pasteLinks();
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(focus)) {
        edit->paste();
        m_form->setModified();
    }
}

void LinkCommands::pasteLinks() {
    const BusyCursor busy;
    const QString text = clipboardText();
    if (text.isEmpty())
        return;
    const std::vector<Link> links = parseUrlLines(toProjectText(text));
    if (!links.empty()) {
        m_form->linkList()->appendRows(links);
        m_form->setModified();
    }
}

void LinkCommands::linkProperties() {
    const LinkListView* list = m_form->linkList();
    const int row = list->focusedRow();
    if (row < 0)
        return;
    const auto link = LinkDialog::edit(m_form, {list->cellText(row, 0), list->cellText(row, 1)});
    if (!link)
        return;
    m_form->setLinkRow(link->description, link->url, row);
    m_form->setModified();
}

void LinkCommands::moveUp() {
    moveSelectedRow(-1);
}

void LinkCommands::moveDown() {
    moveSelectedRow(+1);
}

void LinkCommands::moveSelectedRow(int step) {
    LinkListView* list = m_form->linkList();
    const std::vector<int> rows = list->selectedRows();
    if (rows.size() != 1)
        return;
    const int from = rows[0];
    const int to = from + step;
    if (to < 0 || to >= list->linkCount())
        return;
    const std::string description = list->cellText(from, 0);
    const std::string url = list->cellText(from, 1);
    // The copy goes in first on the far side of the neighbour, then the
    // original row leaves.
    const int insertAt = step < 0 ? to : to + 1;
    list->insertBlankRow(insertAt);
    m_form->setLinkRow(description, url, insertAt);
    list->deleteRow(step < 0 ? from + 1 : from);
    list->selectRow(to);
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
        doc->addLink(group, list->cellText(*it, 0), list->cellText(*it, 1));
    list->deleteRows(rows);
    m_form->setModified();
    list->viewport()->update();
}

// --- Page and group properties --------------------------------------------------------

void LinkCommands::groupProperties() {
    Project* doc = m_form->project();
    const int group = m_form->currentTab();
    if (group < 0 || group >= doc->groupCount())
        return;
    LinkGroup heading = doc->group(group);
    heading.m_links.clear();
    if (const auto values = GroupDialog::edit(m_form, GroupDialog::Values::fromGroup(heading))) {
        values->applyTo(heading);
        doc->setGroupHeading(group, heading);
        m_form->setModified();
    }
}

void LinkCommands::titleFont() {
    Project* doc = m_form->project();
    const auto font = FontDialog::pick(m_form, kTitleFontPoints,
                                       {doc->titleFace(), doc->titleStyle(), doc->titleColor()});
    if (font) {
        doc->setTitleFace(font->face);
        doc->setTitleStyle(font->style);
        doc->setTitleColor(font->color);
        m_form->setModified();
    }
}

void LinkCommands::colors() {
    Project* doc = m_form->project();
    const auto colors = PageColorsDialog::edit(
        m_form, {doc->backgroundColor(), doc->linkColor(), doc->visitedLinkColor()});
    if (colors) {
        doc->setBackgroundColor(colors->background);
        doc->setLinkColor(colors->link);
        doc->setVisitedLinkColor(colors->visitedLink);
        m_form->setModified();
    }
}

// --- Context menu ------------------------------------------------------------------------

QMenu* LinkCommands::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    auto add = [&](const char* name, const char* text, bool enabled, void (LinkCommands::*run)()) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        ProjectForm* view = m_form;
        connect(action, &QAction::triggered, this, [this, view, run] {
            (this->*run)();
            emit view->commandStateChanged();
        });
    };
    const int selected = selectedLinkCount();
    add("contextCut", "Cut\tCtrl+X", canCut(), &LinkCommands::cut);
    add("contextCopy", "&Copy\tCtrl+C", canCopy(), &LinkCommands::copy);
    add("contextPaste", "&Paste\tCtrl+V", canPaste(), &LinkCommands::paste);
    add("contextDelete", "&Delete\tDel", selected > 0, &LinkCommands::deleteSelected);
    menu->addSeparator();
    add("contextAddLink", "&Add...", true, &LinkCommands::addLink);
    add("contextGroupProperties", "&Group Properties", true, &LinkCommands::groupProperties);
    add("contextLinkProperties", "&Link Properties", selected == 1, &LinkCommands::linkProperties);
    menu->addSeparator();
    add("contextCheckLinks", "C&heck Links", m_form->linkList()->selectedCount() > 0,
        &LinkCommands::checkLinksRequested);
    return menu;
}

void LinkCommands::showContextMenu(const QPoint& globalPos) {
    const std::unique_ptr<QMenu> menu(createContextMenu(m_form));
    menu->exec(globalPos);
}
