#include "editor/LinkCommands.h"

#include "app/CommandIds.h"
#include "dialogs/ColorsDlg.h"
#include "dialogs/FontPickerDlg.h"
#include "dialogs/GroupPropsDlg.h"
#include "dialogs/LinkEntryDlg.h"
#include "editor/Cp1252Text.h"
#include "editor/LFView.h"
#include "editor/LinkListCtrl.h"
#include "model/UrlText.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include <algorithm>

namespace {

constexpr int kTitleFontPoints = 32;

QString ClipboardText() {
    const QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard)
        return {};
    const QMimeData* mime = clipboard->mimeData();
    if (!mime || !mime->hasText())
        return {};
    return mime->text();
}

bool ClipboardHasText() {
    const QClipboard* clipboard = QApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    return mime && mime->hasText();
}

} // namespace

CLinkCommands::CLinkCommands(CLFView* view) : QObject(view), m_pView(view) {}

// --- Focus -------------------------------------------------------------------------

bool CLinkCommands::ListHasFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    const CLinkListCtrl* list = m_pView->GetLinkList();
    return focus && list && (focus == list || list->isAncestorOf(focus));
}

QLineEdit* CLinkCommands::FocusedPageEdit() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return nullptr;
    for (QLineEdit* edit :
         {m_pView->GetTitleEdit(), m_pView->GetSubtitleEdit(), m_pView->GetTopImageEdit()}) {
        if (edit && focus == edit)
            return edit;
    }
    return nullptr;
}

bool CLinkCommands::FocusedEditHasSelection() const {
    const QLineEdit* edit = FocusedPageEdit();
    return edit && edit->hasSelectedText();
}

// --- Routing -------------------------------------------------------------------------

bool CLinkCommands::OnCommand(int id) {
    switch (id) {
    case cmd::ID_ADD_LINK:
        OnAddLink();
        return true;
    case cmd::ID_EDIT_DELETE:
    case cmd::ID_DELETE_LINK:
        DeleteSelectedRows();
        return true;
    case cmd::ID_EDIT_CUT:
        OnCut();
        return true;
    case cmd::ID_EDIT_COPY:
        CopyUrls();
        return true;
    case cmd::ID_EDIT_PASTE:
        OnPaste();
        return true;
    case cmd::ID_LINK_PROPERTIES:
        OnLinkProperties();
        return true;
    case cmd::ID_GROUP_PROPERTIES:
        OnGroupProperties();
        return true;
    default:
        return false;
    }
}

bool CLinkCommands::IsCommandEnabled(int id, bool& enabled) const {
    const CLinkListCtrl* list = m_pView->GetLinkList();
    const int selected = list ? list->GetSelectedCount() : 0;
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
        enabled = ListHasFocus() ? selected > 0 : FocusedEditHasSelection();
        return true;
    case cmd::ID_EDIT_PASTE:
        if (ListHasFocus())
            enabled = const_cast<CLinkCommands*>(this)->PasteUrls(true) == 1;
        else
            enabled = FocusedPageEdit() && ClipboardHasText();
        return true;
    case cmd::ID_LINK_PROPERTIES:
        enabled = selected == 1;
        return true;
    default:
        return false;
    }
}

// --- Rows ----------------------------------------------------------------------------

void CLinkCommands::OnAddLink() {
    std::string description, url;
    if (!CLinkEntryDlg::Edit(m_pView, description, url))
        return;
    m_pView->SetLinkRow(description, url, -1);
    m_pView->SetModified();
}

void CLinkCommands::DeleteSelectedRows() {
    CLinkListCtrl* list = m_pView->GetLinkList();
    if (!ListHasFocus()) {
        // The focused edit deletes its selected text; its change marks the
        // document modified.
        QLineEdit* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (edit && !edit->isReadOnly() && edit->hasSelectedText())
            edit->del();
        return;
    }
    const std::vector<int> rows = list->GetSelectedRows(); // highest first
    list->DeleteRows(rows);
    if (!rows.empty() && list->GetRowCount() > 0) {
        // The row now standing where the lowest deleted row stood, or the
        // new last row.
        list->SelectRow(std::min(rows.back(), list->GetRowCount() - 1));
    }
    list->viewport()->update();
    m_pView->SetModified();
}

void CLinkCommands::OnCut() {
    if (ListHasFocus()) {
        CopyUrls();
        DeleteSelectedRows();
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
        edit->cut();
        m_pView->SetModified();
    }
}

void CLinkCommands::CopyUrls() {
    if (!ListHasFocus()) {
        if (QLineEdit* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            edit->copy();
        return;
    }
    const CLinkListCtrl* list = m_pView->GetLinkList();
    std::vector<int> rows = list->GetSelectedRows();
    std::reverse(rows.begin(), rows.end()); // top to bottom, as the list shows them
    std::vector<CLinkEntry> links;
    links.reserve(rows.size());
    for (int row : rows)
        links.emplace_back(list->GetCellText(row, 0), list->GetCellText(row, 1));
    if (QClipboard* clipboard = QApplication::clipboard())
        clipboard->setText(FromCp1252(FormatUrlLines(links)));
}

void CLinkCommands::OnPaste() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    if (ListHasFocus()) {
        PasteUrls(false);
        return;
    }
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(focus)) {
        edit->paste();
        m_pView->SetModified();
    }
}

int CLinkCommands::PasteUrls(bool testMode) {
    const QString text = ClipboardText();
    if (text.isEmpty())
        return 0;
    if (testMode) {
        // Only the first line that is not blank decides; convert just that.
        qsizetype start = 0;
        while (start < text.size() && text[start].isSpace())
            ++start;
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const QString line = text.mid(start, end < 0 ? -1 : end - start);
        return ParseUrlText(ToCp1252(line), true);
    }
    std::vector<CLinkEntry> links;
    const int result = ParseUrlText(ToCp1252(text), false, &links);
    if (!links.empty()) {
        m_pView->GetLinkList()->AppendRows(links);
        m_pView->SetModified();
    }
    return result;
}

void CLinkCommands::OnLinkProperties() {
    const CLinkListCtrl* list = m_pView->GetLinkList();
    const int row = list->GetFocusedRow();
    if (row < 0)
        return;
    std::string description = list->GetCellText(row, 0);
    std::string url = list->GetCellText(row, 1);
    if (!CLinkEntryDlg::Edit(m_pView, description, url))
        return;
    m_pView->SetLinkRow(description, url, row);
    m_pView->SetModified();
}

void CLinkCommands::OnMoveUp() {
    CLinkListCtrl* list = m_pView->GetLinkList();
    const std::vector<int> rows = list->GetSelectedRows();
    if (rows.size() != 1 || rows[0] == 0)
        return;
    const int i = rows[0];
    const std::string description = list->GetCellText(i, 0);
    const std::string url = list->GetCellText(i, 1);
    list->InsertBlankRow(i - 1);
    m_pView->SetLinkRow(description, url, i - 1);
    list->DeleteRow(i + 1);
    list->SelectRow(i - 1);
    m_pView->SetModified();
}

void CLinkCommands::OnMoveDown() {
    CLinkListCtrl* list = m_pView->GetLinkList();
    const std::vector<int> rows = list->GetSelectedRows();
    if (rows.size() != 1 || rows[0] >= list->GetRowCount() - 1)
        return;
    const int i = rows[0];
    const std::string description = list->GetCellText(i, 0);
    const std::string url = list->GetCellText(i, 1);
    list->InsertBlankRow(i + 2);
    m_pView->SetLinkRow(description, url, i + 2);
    list->DeleteRow(i);
    list->SelectRow(i + 1);
    m_pView->SetModified();
}

void CLinkCommands::MoveSelectedRowsToGroup(int group) {
    CLFDoc* doc = m_pView->GetDocument();
    if (group < 0 || group >= static_cast<int>(doc->m_groups.size()) ||
        group == m_pView->GetCurrentTab())
        return;
    CLinkListCtrl* list = m_pView->GetLinkList();
    const std::vector<int> rows = list->GetSelectedRows(); // highest first
    if (rows.empty())
        return;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        doc->AddLink(group, list->GetCellText(*it, 0), list->GetCellText(*it, 1));
    list->DeleteRows(rows);
    m_pView->SetModified();
    list->viewport()->update();
}

// --- Page and group properties --------------------------------------------------------

void CLinkCommands::OnGroupProperties() {
    CLFDoc* doc = m_pView->GetDocument();
    const int group = m_pView->GetCurrentTab();
    if (group < 0 || group >= static_cast<int>(doc->m_groups.size()))
        return;
    if (CGroupPropsDlg::Edit(m_pView, doc->m_groups[static_cast<size_t>(group)]))
        m_pView->SetModified();
}

void CLinkCommands::OnTitleFont() {
    CLFDoc* doc = m_pView->GetDocument();
    if (PickFont(m_pView, kTitleFontPoints, doc->m_strTitleFace, doc->m_nTitleStyle,
                 doc->m_clrTitle))
        m_pView->SetModified();
}

void CLinkCommands::OnColors() {
    CLFDoc* doc = m_pView->GetDocument();
    if (CColorsDlg::Edit(m_pView, doc->m_clrBackground, doc->m_clrLink, doc->m_clrVisitedLink))
        m_pView->SetModified();
}

// --- Context menu ------------------------------------------------------------------------

QMenu* CLinkCommands::CreateContextMenu(QWidget* parent) const {
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
        IsCommandEnabled(item.id, enabled);
        action->setEnabled(enabled);
        const int id = item.id;
        CLFView* view = m_pView;
        connect(action, &QAction::triggered, view, [view, id] {
            view->OnCommand(id);
            emit view->commandStateChanged();
        });
    }
    return menu;
}

void CLinkCommands::ShowContextMenu(const QPoint& globalPos) {
    QMenu* menu = CreateContextMenu(m_pView);
    menu->exec(globalPos);
    delete menu;
}
