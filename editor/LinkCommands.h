#pragma once

#include <QObject>
#include <QPoint>

class CLFView;

// The link editing commands of the form: add, delete, link and group
// properties, move up and down, cut, copy and paste, the title font and
// colours buttons, drags onto another tab and the context menu.
class CLinkCommands : public QObject {
    Q_OBJECT
public:
    explicit CLinkCommands(CLFView* view);

    // Returns true when the command is one of these.
    bool OnCommand(int id);
    // Returns true when the command is one of these, with its enable state.
    bool IsCommandEnabled(int id, bool& enabled) const;

    // Form buttons.
    void OnTitleFont();   // button 1016 "Font"
    void OnColors();      // button 1004 "Colors"
    void OnMoveUp();      // button 1013 "Move Up"
    void OnMoveDown();    // button 1014 "Move Down"
    // Selected rows dragged onto the tab of another group.
    void MoveSelectedRowsToGroup(int group);
    // Right-click anywhere in the list (header included).
    void ShowContextMenu(const QPoint& globalPos);

private:
    CLFView* m_pView;
};
