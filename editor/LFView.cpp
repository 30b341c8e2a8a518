#include "editor/LFView.h"

CLFView::CLFView(CLFDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    m_pDoc->SetView(this);
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
