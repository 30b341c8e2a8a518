#pragma once

#include "LinkCheckItem.h"
#include "LinkCheckOptions.h"

#include "core/Link.h"
#include "core/Project.h"

#include <QObject>
#include <QPointer>

#include <vector>

class LinkChecker;
class LinkCheckWindow;
class ProjectForm;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QWidget;

// The editor's link check and duplicate search. A check runs on the event
// loop while the editor stays usable: the status bar shows its progress
// ("Checked 312 of 1,450") and a Cancel button; when it ends the status bar
// says so and the results open in a LinkCheckWindow that leaves the keyboard
// where it was. The last results stay until another project takes the
// editor's place. Nothing is sent before the user asks.
class LinkCheckSession : public QObject {
    Q_OBJECT
public:
    LinkCheckSession(ProjectForm* form, QStatusBar* statusBar, QObject* parent = nullptr);
    ~LinkCheckSession() override;

    // The limits of the next checks (tests shorten the waits).
    void setOptions(const LinkCheckOptions& options) { m_options = options; }
    bool isRunning() const;
    LinkChecker* checker() const { return m_checker; }
    // Null until first shown.
    LinkCheckWindow* resultsWindow() const;
    LinkCheckWindow* duplicatesWindow() const;
    // A check has ended with results since the project was opened.
    bool hasLastResults() const;

public slots:
    // Page > Check Links: every link of the project.
    void checkAllLinks();
    // The list's context menu: the selected rows of the shown group.
    void checkSelectedLinks();
    // Page > Find Duplicate Links.
    void findDuplicates();
    // Page > Show Last Link Check: the last results again, with the keyboard.
    void showLastResults();
    // The Cancel button and Escape.
    void cancel();
    // Another project took the editor's place: the check stops and what was
    // listed is forgotten.
    void projectReplaced();

signals:
    void statusMessage(const QString& text);
    // A check started or ended.
    void runningChanged(bool running);
    // hasLastResults changed.
    void lastResultsChanged();

private:
    void start(std::vector<LinkCheckItem> items);
    void onProgress(int done, int total);
    void onFinished();
    // "Checked 312 of 1,450", in the locale's digits.
    static QString progressText(qint64 done, qint64 total);

    ProjectForm* m_form;
    LinkChecker* m_checker = nullptr;
    LinkCheckOptions m_options;
    std::vector<LinkCheckItem> m_items;
    std::vector<Link> m_texts; // description and address of each item as checked
    std::vector<LinkId> m_ids; // the link of each item
    QWidget* m_progressPane = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QPointer<LinkCheckWindow> m_results;
    QPointer<LinkCheckWindow> m_duplicates;
    bool m_haveResults = false;
    // The status bar tells the last check's counts.
    bool m_summaryShown = false;
};
