#pragma once

#include <QObject>
#include <QString>

class CLFDoc;
class CRecentFileList;
class QWidget;

// The single-document machinery around the one project: New, Open, Save,
// Save As, the recent-file entries and the question before changes are
// discarded. Questions, file dialogs and error messages go through
// CUiServices; the window side listens to the signals.
class CDocManager : public QObject {
    Q_OBJECT
public:
    CDocManager(CLFDoc& doc, CRecentFileList& recentFiles, QObject* parent = nullptr);

    // Parent window of the message boxes and file dialogs.
    void SetDialogParent(QWidget* parent) { m_pDialogParent = parent; }

    CLFDoc& GetDocument() const { return m_doc; }
    CRecentFileList& GetRecentFileList() const { return m_recentFiles; }

    // Commands. Each returns whether it went through.
    bool OnFileNew();
    bool OnFileOpen();
    bool OnFileSave() { return DoFileSave(); }
    bool OnFileSaveAs() { return DoSave(QString()); }
    // Opens recent entry index; the entry leaves the list when the open does
    // not take place.
    bool OnOpenRecentFile(int index);

    // Makes the document a new untitled project, without asking.
    void NewDocument();
    // Opens path as every open does (quotes stripped, made absolute, a
    // symbolic link followed). Returns true when the project at that path is
    // the open one afterwards (also when it already was).
    bool OpenDocumentFile(const QString& path);

    // Asks "Save changes to %1?" when the project is modified. Returns false
    // when the command that asked must stop.
    bool SaveModified();
    // Save: to the project's path, or as Save As when it has none, its file
    // is missing or is read-only.
    bool DoFileSave();
    // Writes the project to path, or asks for a name when path is empty.
    // With replace the path becomes the project's path.
    bool DoSave(const QString& path, bool replace = true);

    // The open path after the clean-up the open flow applies.
    static QString CanonicalOpenPath(const QString& path);
    // The name proposed by Save As for an untitled project: the title cut
    // before the first of " #%;/\" plus ".lfp".
    static QString ProposedFileName(const QString& title);
    // True when the file cannot be saved in place: missing, or without any
    // write permission, or not writable by this process.
    static bool IsReadOnlyOrMissing(const QString& path);

    // "Untitled - Linkfold" or "name.lfp - Linkfold".
    QString FrameTitle() const;

signals:
    // The document holds a different project: the form must be refilled.
    void documentReplaced();
    // Title or path changed (window caption).
    void titleChanged();
    void recentFilesChanged();
    // The project asked for is already open: bring the window forward.
    void activateRequested();

private:
    void SetPathName(const QString& path, bool addToRecent = true);

    CLFDoc& m_doc;
    CRecentFileList& m_recentFiles;
    QWidget* m_pDialogParent = nullptr;
};

// The text of the save question.
QString SaveChangesPrompt(const QString& title);

inline constexpr const char* kAppTitle = "Linkfold";
inline constexpr const char* kUntitled = "Untitled";
