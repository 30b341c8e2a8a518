#include "editor/LinkCommands.h"

#include "core/UrlLines.h"
#include "dialogs/FontDialog.h"
#include "dialogs/GroupDialog.h"
#include "dialogs/LinkDialog.h"
#include "dialogs/PageColorsDialog.h"
#include "dialogs/PageStyleDialog.h"
#include "editor/LinkListView.h"
#include "editor/ProjectCommands.h"
#include "editor/ProjectDocument.h"
#include "editor/ProjectForm.h"
#include "gui/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>

#include <algorithm>
#include <memory>

namespace {

constexpr int kTitleFontPoints = 32;

// How much of the clipboard's text decides whether Paste takes links: the
// first line that is not blank, looked for within this many characters.
constexpr qsizetype kPasteDecisionWindow = qsizetype{64} * 1024;

// Linkfold's own copy of links: URL lines whose descriptions are the
// project's HTML, beside the plain text every program reads.
const QString kOwnLinksMime = QStringLiteral("application/x-linkfold-links");

const QMimeData* clipboardMime() {
    const QClipboard* clipboard = QApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

// The clipboard's links: Linkfold's own format as project text, else the
// plain text of another program as outside text.
std::vector<Link> clipboardLinks() {
    const QMimeData* mime = clipboardMime();
    if (!mime)
        return {};
    if (mime->hasFormat(kOwnLinksMime)) {
        const QByteArray own = mime->data(kOwnLinksMime);
        return parseUrlLines(std::string_view(own.constData(), static_cast<size_t>(own.size())));
    }
    return mime->hasText() ? parseOutsideUrlLines(toProjectText(mime->text()))
                           : std::vector<Link>{};
}

// "Delete Link", "Delete 40 Links": a step's name by its number of links.
// The texts are marked with QT_TR_NOOP and translated here; the number
// is written with the locale's digit grouping ("Delete 20,000 Links").
QString countedName(const char* one, const char* many, std::size_t n) {
    return n == 1 ? QCoreApplication::translate("LinkCommands", one)
                  : QCoreApplication::translate("LinkCommands", many)
                        .arg(QLocale().toString(static_cast<qulonglong>(n)));
}

std::vector<std::size_t> asRows(const std::vector<int>& rows) {
    std::vector<std::size_t> out;
    out.reserve(rows.size());
    for (int r : rows)
        if (r >= 0)
            out.push_back(static_cast<std::size_t>(r));
    return out;
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
    if (mime && mime->hasFormat(kOwnLinksMime)) {
        const QByteArray own = mime->data(kOwnLinksMime);
        m_clipboardHasUrlLine =
            startsWithUrlLine(std::string_view(own.constData(), static_cast<size_t>(own.size())));
        return;
    }
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

void LinkCommands::appendLinks(const std::vector<Link>& links, const char* one, const char* many) {
    Project& project = *m_form->project();
    m_form->document()->push(LinkEditCommand::append(project, countedName(one, many, links.size()),
                                                     m_form->currentTab(), links));
}

void LinkCommands::addLink() {
    const auto link = LinkDialog::edit(m_form, {});
    if (!link)
        return;
    appendLinks({Link(link->description, link->url)}, QT_TR_NOOP("Add Link"),
                QT_TR_NOOP("Add %1 Links"));
}

void LinkCommands::addDroppedLinks(const std::vector<Link>& links) {
    appendLinks(links, QT_TR_NOOP("Drop Link"), QT_TR_NOOP("Drop %1 Links"));
}

void LinkCommands::deleteSelected() {
    LinkListView* list = m_form->linkList();
    if (!listHasFocus()) {
        // The focused edit deletes its selected text, as its own change.
        QLineEdit* edit = qobject_cast<QLineEdit*>(m_form->commandFocus());
        if (edit && !edit->isReadOnly() && edit->hasSelectedText())
            edit->del();
        return;
    }
    const std::vector<int> rows = list->selectedRows();
    m_form->document()->push(LinkEditCommand::remove(
        *m_form->project(),
        countedName(QT_TR_NOOP("Delete Link"), QT_TR_NOOP("Delete %1 Links"), rows.size()),
        m_form->currentTab(), asRows(rows)));
}

void LinkCommands::cut() {
    if (listHasFocus()) {
        copyLinks();
        const std::vector<int> rows = m_form->linkList()->selectedRows();
        m_form->document()->push(LinkEditCommand::remove(
            *m_form->project(),
            countedName(QT_TR_NOOP("Cut Link"), QT_TR_NOOP("Cut %1 Links"), rows.size()),
            m_form->currentTab(), asRows(rows)));
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(m_form->commandFocus()))
        edit->cut();
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
    const LinkList& shown = m_form->project()->linkList(m_form->currentTab());
    std::vector<Link> links;
    links.reserve(rows.size());
    for (int row : rows)
        if (static_cast<std::size_t>(row) < shown.size())
            links.push_back(shown[static_cast<std::size_t>(row)]);
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard)
        return;
    const std::string lines = formatUrlLines(links);
    auto* mime = new QMimeData;
    mime->setText(toQString(lines));
    mime->setData(kOwnLinksMime, QByteArray(lines.data(), static_cast<qsizetype>(lines.size())));
    clipboard->setMimeData(mime);
}

void LinkCommands::paste() {
    QWidget* focus = m_form->commandFocus();
    if (!focus)
        return;
    if (listHasFocus()) {
        pasteLinks();
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(focus))
        edit->paste();
}

void LinkCommands::pasteLinks() {
    const BusyCursor busy;
    const std::vector<Link> links = clipboardLinks();
    if (links.empty())
        return;
    appendLinks(links, QT_TR_NOOP("Paste Link"), QT_TR_NOOP("Paste %1 Links"));
}

void LinkCommands::linkProperties() {
    const LinkListView* list = m_form->linkList();
    const int row = list->focusedRow();
    if (row < 0)
        return;
    const auto link = LinkDialog::edit(m_form, {list->cellText(row, 0), list->cellText(row, 1)});
    if (!link)
        return;
    m_form->document()->push(LinkEditCommand::setTexts(*m_form->project(), tr("Link Properties"),
                                                       {{m_form->currentTab(),
                                                         {static_cast<std::size_t>(row)},
                                                         {Link(link->description, link->url)}}}));
}

void LinkCommands::moveUp() {
    moveSelectedRow(-1);
}

void LinkCommands::moveDown() {
    moveSelectedRow(+1);
}

void LinkCommands::moveSelectedRow(int step) {
    LinkListView* list = m_form->linkList();
    if (list->selectedCount() != 1)
        return;
    const std::vector<int> rows = list->selectedRows();
    const int from = rows[0];
    const int to = from + step;
    if (to < 0 || to >= list->linkCount())
        return;
    m_form->document()->push(LinkEditCommand::moveRow(
        *m_form->project(), step < 0 ? tr("Move Up") : tr("Move Down"), m_form->currentTab(),
        static_cast<std::size_t>(from), static_cast<std::size_t>(to)));
}

void LinkCommands::moveRow(int from, int to) {
    if (from < 0 || to < 0)
        return;
    m_form->document()->push(
        LinkEditCommand::moveRow(*m_form->project(), tr("Move Link"), m_form->currentTab(),
                                 static_cast<std::size_t>(from), static_cast<std::size_t>(to)));
}

void LinkCommands::moveSelectedRowsToGroup(int group) {
    m_form->document()->push(
        LinkEditCommand::moveToGroup(*m_form->project(), m_form->currentTab(),
                                     asRows(m_form->linkList()->selectedRows()), group));
}

// --- Page and group properties --------------------------------------------------------

void LinkCommands::groupProperties() {
    Project* doc = m_form->project();
    const int group = m_form->currentTab();
    if (group < 0 || group >= doc->groupCount())
        return;
    LinkGroup heading = doc->group(group);
    heading.links.clear();
    if (const auto values = GroupDialog::edit(m_form, GroupDialog::Values::fromGroup(heading))) {
        values->applyTo(heading);
        auto* command = new GroupHeadingCommand(*doc, group, heading);
        if (command->changesNothing())
            delete command;
        else
            m_form->document()->push(command);
    }
}

namespace {

void pushPage(ProjectForm* form, const QString& name, const PageSettings& page) {
    auto* command = new PageSettingsCommand(*form->project(), name, page);
    if (command->changesNothing())
        delete command;
    else
        form->document()->push(command);
}

} // namespace

void LinkCommands::titleFont() {
    Project* doc = m_form->project();
    const auto font = FontDialog::pick(m_form, kTitleFontPoints,
                                       {doc->titleFace(), doc->titleStyle(), doc->titleColor()});
    if (font) {
        PageSettings page = doc->pageSettings();
        page.titleFace = font->face;
        page.titleStyle = font->style;
        page.titleColor = font->color;
        pushPage(m_form, tr("Title Font"), page);
    }
}

void LinkCommands::colors() {
    Project* doc = m_form->project();
    const auto colors = PageColorsDialog::edit(
        m_form, {doc->backgroundColor(), doc->linkColor(), doc->visitedLinkColor()});
    if (colors) {
        PageSettings page = doc->pageSettings();
        page.backgroundColor = colors->background;
        page.linkColor = colors->link;
        page.visitedLinkColor = colors->visitedLink;
        pushPage(m_form, tr("Page Colors"), page);
    }
}

void LinkCommands::pageStyle() {
    Project* doc = m_form->project();
    if (const auto style = PageStyleDialog::edit(m_form, doc->pageStyle())) {
        PageSettings page = doc->pageSettings();
        page.style = *style;
        pushPage(m_form, tr("Page Style"), page);
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
