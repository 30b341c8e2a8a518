#include "editor/LinkCheckSession.h"

#include "LinkCheckReport.h"
#include "LinkChecker.h"
#include "ProjectLinks.h"

#include "core/DuplicateLinks.h"
#include "core/Project.h"
#include "editor/LinkCheckWindow.h"
#include "editor/LinkCommands.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "gui/QtText.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

LinkCheckSession::LinkCheckSession(ProjectForm* form, QStatusBar* statusBar, QObject* parent)
    : QObject(parent), m_form(form), m_checker(new LinkChecker(this)),
      m_options(programCheckOptions()) {
    connect(m_checker, &LinkChecker::progress, this, &LinkCheckSession::onProgress);
    connect(m_checker, &LinkChecker::finished, this, &LinkCheckSession::onFinished);

    m_progressPane = new QWidget(statusBar);
    m_progressPane->setObjectName(QStringLiteral("linkCheckProgress"));
    auto* layout = new QHBoxLayout(m_progressPane);
    layout->setContentsMargins(0, 0, 0, 0);
    m_progress = new QProgressBar(m_progressPane);
    m_progress->setObjectName(QStringLiteral("linkCheckProgressBar"));
    m_progress->setAccessibleName(QStringLiteral("Link check progress"));
    m_progress->setTextVisible(true);
    m_progress->setMinimumWidth(180);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), m_progressPane);
    m_cancel->setObjectName(QStringLiteral("linkCheckCancel"));
    m_cancel->setToolTip(QStringLiteral("Stop the link check (Esc)"));
    m_cancel->setFocusPolicy(Qt::NoFocus);
    connect(m_cancel, &QPushButton::clicked, this, &LinkCheckSession::cancel);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel);
    statusBar->insertPermanentWidget(0, m_progressPane);
    m_progressPane->hide();

    connect(m_form->linkCommands(), &LinkCommands::checkLinksRequested, this,
            &LinkCheckSession::checkSelectedLinks);
}

LinkCheckSession::~LinkCheckSession() {
    disconnect(m_checker, nullptr, this, nullptr);
}

LinkCheckWindow* LinkCheckSession::resultsWindow() const {
    return m_results;
}

LinkCheckWindow* LinkCheckSession::duplicatesWindow() const {
    return m_duplicates;
}

bool LinkCheckSession::hasLastResults() const {
    return m_haveResults && m_results;
}

bool LinkCheckSession::isRunning() const {
    return m_checker->isRunning();
}

void LinkCheckSession::checkAllLinks() {
    start(projectCheckItems(*m_form->project()));
}

void LinkCheckSession::checkSelectedLinks() {
    std::vector<int> rows = m_form->linkList()->selectedRows();
    std::sort(rows.begin(), rows.end());
    const int group = m_form->currentTab();
    std::vector<LinkCheckItem> items;
    items.reserve(rows.size());
    for (int row : rows)
        items.push_back(checkItemFor(*m_form->project(), group, row));
    start(std::move(items));
}

void LinkCheckSession::start(std::vector<LinkCheckItem> items) {
    if (isRunning())
        m_checker->cancel();
    if (items.empty()) {
        emit statusMessage(QStringLiteral("There are no links to check."));
        return;
    }
    m_items = std::move(items);
    // What an earlier (perhaps cancelled) check found is not this one's.
    if (m_results)
        m_results->setEntries({});
    m_summaryShown = false;
    if (m_haveResults) {
        m_haveResults = false;
        emit lastResultsChanged();
    }
    // The texts as checked: the editor stays usable, so the project may
    // change before the results come.
    const Project& project = *m_form->project();
    m_texts.clear();
    m_texts.reserve(m_items.size());
    m_ids.clear();
    m_ids.reserve(m_items.size());
    for (const LinkCheckItem& item : m_items) {
        const auto row = static_cast<std::size_t>(item.row - 1);
        m_texts.push_back(project.linkList(item.group - 1)[row]);
        m_ids.push_back(project.linkIds(item.group - 1)[row]);
    }
    onProgress(0, static_cast<int>(m_items.size()));
    m_progressPane->show();
    m_checker->start(m_items, m_options);
    emit runningChanged(true);
}

QString LinkCheckSession::progressText(qint64 done, qint64 total) {
    return tr("Checked %1 of %2").arg(QLocale().toString(done), QLocale().toString(total));
}

void LinkCheckSession::onProgress(int done, int total) {
    m_progress->setRange(0, std::max(total, 1));
    m_progress->setValue(done);
    m_progress->setFormat(progressText(done, total));
}

void LinkCheckSession::cancel() {
    if (isRunning())
        m_checker->cancel();
}

void LinkCheckSession::onFinished() {
    m_progressPane->hide();
    emit runningChanged(false);
    const bool cancelled = m_checker->wasCancelled();
    if (cancelled && m_items.empty()) {
        // Stopped because another project took the editor's place: there
        // is nothing to tell of the links that were there.
        emit statusMessage(QString());
        return;
    }
    // A cancelled check still shows the links it got to.
    std::vector<LinkCheckWindow::Entry> entries;
    entries.reserve(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (cancelled && !m_checker->hasResult(static_cast<int>(i)))
            continue;
        const LinkCheckItem& item = m_items[i];
        LinkCheckWindow::Entry e;
        e.group = item.group - 1;
        e.row = item.row - 1;
        e.id = m_ids[i];
        e.description = m_texts[i].description;
        e.url = m_texts[i].url;
        e.result = m_checker->results()[i];
        entries.push_back(std::move(e));
    }
    if (cancelled) {
        emit statusMessage(tr("Link check cancelled: %1.")
                               .arg(progressText(static_cast<qint64>(entries.size()),
                                                 static_cast<qint64>(m_items.size()))
                                        .toLower()));
        if (entries.empty())
            return;
    }
    if (!m_results) {
        m_results = new LinkCheckWindow(LinkCheckWindow::Mode::Check, m_form, m_form->window());
        // The summary counts the links listed: a deleted one leaves it.
        connect(m_results, &LinkCheckWindow::entriesFollowed, this, [this] {
            if (!m_summaryShown || !m_results)
                return;
            std::vector<LinkCheckResult> results;
            for (const LinkCheckWindow::Entry& e : m_results->entries())
                results.push_back(e.result);
            emit statusMessage(
                tr("Link check finished. %1").arg(toQString(formatSummary(results))));
        });
    }
    m_results->setEntries(std::move(entries));
    m_summaryShown = !cancelled;
    if (!cancelled)
        emit statusMessage(
            tr("Link check finished. %1").arg(toQString(formatSummary(m_checker->results()))));
    m_haveResults = true;
    emit lastResultsChanged();
    // The user may be typing elsewhere: the window comes without the keyboard.
    m_results->present(false);
}

void LinkCheckSession::showLastResults() {
    if (hasLastResults())
        m_results->present(true);
}

void LinkCheckSession::findDuplicates() {
    const Project& project = *m_form->project();
    const std::vector<DuplicateLinkSet> sets = findDuplicateLinks(project);
    if (!m_duplicates)
        m_duplicates =
            new LinkCheckWindow(LinkCheckWindow::Mode::Duplicates, m_form, m_form->window());
    m_duplicates->setEntries(LinkCheckWindow::duplicateEntries(project, sets));
    std::size_t links = 0;
    for (const DuplicateLinkSet& set : sets)
        links += set.links.size();
    emit statusMessage(sets.empty()
                           ? tr("No duplicate links.")
                           : tr("%1 links in %2 sets of duplicates.")
                                 .arg(QLocale().toString(static_cast<qulonglong>(links)),
                                      QLocale().toString(static_cast<qulonglong>(sets.size()))));
    m_duplicates->present(true);
}

void LinkCheckSession::projectReplaced() {
    // The links of the project that was open are no longer there to show.
    if (m_summaryShown) {
        m_summaryShown = false;
        emit statusMessage(QString());
    }
    m_items.clear();
    m_texts.clear();
    m_ids.clear();
    cancel();
    for (LinkCheckWindow* window : {m_results.data(), m_duplicates.data()}) {
        if (window) {
            window->setEntries({});
            window->hide();
        }
    }
    if (m_haveResults) {
        m_haveResults = false;
        emit lastResultsChanged();
    }
}
