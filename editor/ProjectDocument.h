#pragma once

#include "core/Project.h"
#include "editor/ProjectCommands.h"

#include <QObject>
#include <QString>

#include <cstddef>

class QUndoStack;

// The open project and its one history. The document owns both: the form,
// the main window, the link commands, the import and the result windows are
// views that act through it, every change of the project's content (typing
// in a page field included) being a step pushed here, so that Undo and Redo
// take the steps back and do them again in the order they were made,
// wherever the keyboard is.
//
// The steps live in a QUndoStack that no one else reaches: a memory budget
// drops the oldest steps first (the newest always stays), undo stops before a
// dropped step, and the project's modified flag follows the clean state.
class ProjectDocument : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kDefaultBudget = 256u << 20;

    explicit ProjectDocument(QObject* parent = nullptr);

    Project& project() { return m_project; }
    const Project& project() const { return m_project; }

    // Carries out the step and keeps it; a null command is nothing to do.
    void push(ProjectCommand* command);
    bool canUndo() const;
    bool canRedo() const;
    // The names of the steps Undo and Redo would take ("Delete Link"), empty
    // when there is none.
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();
    // A fresh history (New, Open); the project's modified flag as it is now
    // is the state of the first step.
    void reset();
    // The project was saved: this is the clean state.
    void markSaved();

    // Typing in one field merges into one step while nothing else happens
    // in between: the steps of one typing session merge. Undo, Redo, a new
    // history and endTyping (the keyboard left the field) start a new one.
    int typingSession() const { return m_typingSession; }
    void endTyping() { ++m_typingSession; }

    void setBudget(std::size_t bytes);
    std::size_t budget() const { return m_budget; }
    // The memory the steps that can still be undone or redone hold.
    std::size_t bytes() const;

signals:
    // A step was done, undone or redone: show its change.
    void changeDone(const ShownChange& shown);
    // What Undo and Redo can do changed (their texts or enable states).
    void stateChanged();

private:
    void keepBudget();
    void syncModified();
    ProjectCommand* commandAt(int index) const;

    Project m_project;
    QUndoStack* m_stack;
    std::size_t m_budget = kDefaultBudget;
    int m_typingSession = 0;
};
