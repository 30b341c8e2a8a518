#pragma once

// Command identifiers and resource numbers. Every QAction carries its
// command id (QAction::data()) and an objectName "cmd<id>" so that tests
// and the view find commands by number.
namespace cmd {
// Project menu
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_MRU_FILE1 = 57616; // .. 57619
inline constexpr int ID_APP_EXIT = 57665;
// edit menu
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_DELETE = 32790; // edit menu's Delete
inline constexpr int ID_DELETE_LINK = 32777; // toolbar and context menu Delete
inline constexpr int ID_ADD_LINK = 32776;
inline constexpr int ID_GROUP_PROPERTIES = 32786;
inline constexpr int ID_LINK_PROPERTIES = 32791;
// Page menu
inline constexpr int ID_PAGE_GENERATE = 32771;
inline constexpr int ID_PAGE_PREVIEW = 32772;
// Help menu
inline constexpr int ID_HELP_CONTENTS = 32783;
inline constexpr int ID_APP_ABOUT = 57664;
// Panes
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
} // namespace cmd

namespace res {
inline constexpr int IDR_MAINFRAME = 128; // menu, accelerators, toolbar, program icon
inline constexpr int IDR_CONTEXT_MENU = 129;
inline constexpr int IDI_DOCUMENT = 129;
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_FORM = 101;
inline constexpr int IDB_ABOUT = 133;
inline constexpr int IDC_DRAG_CURSOR = 136;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
// Help contexts
inline constexpr int HELP_CONTEXT_LINK = 100;
inline constexpr int HELP_CONTEXT_GROUP = 101;
inline constexpr int HELP_CONTEXT_COLORS = 102;
} // namespace res

// Private notifications between the link list and the form view.
inline constexpr int WM_USER = 0x0400;
inline constexpr int WM_LINKLIST_CHANGED = WM_USER + 0x44C;
inline constexpr int WM_REMOVE_PLACEHOLDER = WM_USER + 0x7D0;
