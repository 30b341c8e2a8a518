#include "editor/LinkCommands.h"

#include "editor/LFView.h"

CLinkCommands::CLinkCommands(CLFView* view) : QObject(view), m_pView(view) {}

bool CLinkCommands::OnCommand(int) { return false; }
bool CLinkCommands::IsCommandEnabled(int, bool&) const { return false; }
void CLinkCommands::OnTitleFont() {}
void CLinkCommands::OnColors() {}
void CLinkCommands::OnMoveUp() {}
void CLinkCommands::OnMoveDown() {}
void CLinkCommands::MoveSelectedRowsToGroup(int) {}
void CLinkCommands::ShowContextMenu(const QPoint&) {}
