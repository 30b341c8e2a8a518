#include "editor/ProjectDocument.h"

#include <QUndoStack>

namespace {

// The most steps kept, however little memory they hold.
constexpr int kMaxSteps = 1000;

} // namespace

ProjectDocument::ProjectDocument(QObject* parent) : QObject(parent), m_stack(new QUndoStack(this)) {
    m_stack->setUndoLimit(kMaxSteps);
    connect(m_stack, &QUndoStack::indexChanged, this, [this] {
        syncModified();
        emit stateChanged();
    });
    connect(m_stack, &QUndoStack::cleanChanged, this, [this] {
        syncModified();
        emit stateChanged();
    });
}

ProjectCommand* ProjectDocument::commandAt(int index) const {
    if (index < 0 || index >= m_stack->count())
        return nullptr;
    return static_cast<ProjectCommand*>(const_cast<QUndoCommand*>(m_stack->command(index)));
}

void ProjectDocument::push(ProjectCommand* command) {
    if (!command)
        return;
    const ShownChange shown = command->shownAfterRedo();
    m_stack->push(command); // runs its redo; may merge it into the last step
    keepBudget();
    syncModified();
    emit stateChanged();
    emit changeDone(shown);
}

bool ProjectDocument::canUndo() const {
    const ProjectCommand* last = commandAt(m_stack->index() - 1);
    return last && !last->isDropped();
}

bool ProjectDocument::canRedo() const {
    const ProjectCommand* next = commandAt(m_stack->index());
    return next && !next->isDropped();
}

QString ProjectDocument::undoText() const {
    return canUndo() ? m_stack->undoText() : QString();
}

QString ProjectDocument::redoText() const {
    return canRedo() ? m_stack->redoText() : QString();
}

void ProjectDocument::undo() {
    if (!canUndo())
        return;
    const ShownChange shown = commandAt(m_stack->index() - 1)->shownAfterUndo();
    endTyping();
    m_stack->undo();
    emit changeDone(shown);
}

void ProjectDocument::redo() {
    if (!canRedo())
        return;
    const ShownChange shown = commandAt(m_stack->index())->shownAfterRedo();
    endTyping();
    m_stack->redo();
    emit changeDone(shown);
}

void ProjectDocument::reset() {
    const bool modified = m_project.isModified();
    endTyping();
    m_stack->clear();
    // A project read only in part holds changes no step can take back.
    if (modified)
        m_stack->resetClean();
    syncModified();
    emit stateChanged();
}

void ProjectDocument::markSaved() {
    m_stack->setClean();
    syncModified();
    emit stateChanged();
}

void ProjectDocument::setBudget(std::size_t bytes) {
    m_budget = bytes;
    keepBudget();
    emit stateChanged();
}

std::size_t ProjectDocument::bytes() const {
    std::size_t total = 0;
    for (int i = 0; i < m_stack->count(); ++i)
        if (const ProjectCommand* c = commandAt(i); c && !c->isDropped())
            total += c->bytes();
    return total;
}

void ProjectDocument::keepBudget() {
    std::size_t total = bytes();
    const int newest = m_stack->index() - 1;
    for (int i = 0; i < newest && total > m_budget; ++i) {
        ProjectCommand* c = commandAt(i);
        if (!c || c->isDropped())
            continue;
        total -= c->bytes();
        c->drop();
    }
}

void ProjectDocument::syncModified() {
    m_project.setModified(!m_stack->isClean());
}
