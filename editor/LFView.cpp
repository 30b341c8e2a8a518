#include "editor/LFView.h"

#include "editor/LinkCommands.h"

CLFView::CLFView(CLFDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    m_pDoc->SetView(this);
    m_pLinkCommands = new CLinkCommands(this);
}

CLFView::~CLFView() {
    if (m_pDoc->GetView() == this)
        m_pDoc->SetView(nullptr);
}

void CLFView::OnInitialUpdate() {}
void CLFView::UpdateDocument() {}
void CLFView::ResetForOpen() {}
void CLFView::LoadLayout(const CIniFile&) {}
void CLFView::SaveLayout(CIniFile&) const {}
bool CLFView::OnCommand(int) { return false; }
bool CLFView::IsCommandEnabled(int, bool&) const { return false; }
CLinkListCtrl* CLFView::GetLinkList() const { return nullptr; }
QTabBar* CLFView::GetTabBar() const { return nullptr; }
QLineEdit* CLFView::GetTitleEdit() const { return nullptr; }
QLineEdit* CLFView::GetSubtitleEdit() const { return nullptr; }
QLineEdit* CLFView::GetTopImageEdit() const { return nullptr; }
QLineEdit* CLFView::GetColumnsEdit() const { return nullptr; }
int CLFView::GetCurrentTab() const { return 0; }
void CLFView::SetLinkRow(const std::string&, const std::string&, int) {}
void CLFView::SetModified() { m_pDoc->SetModifiedFlag(true); }
