#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/StartPageApp.h"
#include "editor/LFView.h"
#include "editor/LinkCommands.h"
#include "editor/LinkListCtrl.h"
#include "support/FakeUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// A shown form on a fresh project whose group 0 holds the links A, B, C...
struct Form {
    CLFDoc doc;
    CLFView view{&doc};
    CLinkCommands* commands = view.findChild<CLinkCommands*>();
    CLinkListCtrl* list = view.GetLinkList();

    explicit Form(const QString& rows = QStringLiteral("ABCD")) {
        for (QChar c : rows)
            doc.AddLink(0, std::string(1, c.toLatin1()),
                        "http://" + std::string(1, c.toLower().toLatin1()) + "/");
        view.OnInitialUpdate();
        view.show();
        QApplication::setActiveWindow(&view);
        if (!QTest::qWaitForWindowActive(&view))
            qWarning("form not active");
        list->setFocus();
        doc.SetModifiedFlag(false);
    }

    QString Rows() const {
        QString out;
        for (int r = 0; r < list->GetRowCount(); ++r)
            out += QString::fromStdString(list->GetCellText(r, 0));
        return out;
    }
    QString Selected() const {
        QString out;
        for (int r = 0; r < list->GetRowCount(); ++r)
            if (list->IsRowSelected(r))
                out += QString::fromStdString(list->GetCellText(r, 0));
        return out;
    }
    void Select(const QString& which) {
        list->clearSelection();
        for (int r = 0; r < list->GetRowCount(); ++r)
            if (which.contains(QString::fromStdString(list->GetCellText(r, 0))))
                list->SelectRow(r);
    }
    bool Enabled(int id) const {
        bool enabled = false;
        if (!commands->IsCommandEnabled(id, enabled))
            qWarning("command %d unknown", id);
        return enabled;
    }
    void Focus(QWidget* w) {
        w->setFocus();
        QCoreApplication::processEvents();
    }
};

QString Clipboard() {
    return QApplication::clipboard()->text();
}
void SetClipboard(const QString& text) {
    QApplication::clipboard()->setText(text);
}

template <typename T> T* Child(QDialog& dlg, const char* name) {
    return dlg.findChild<T*>(QString::fromLatin1(name));
}

} // namespace

class TestLinkCommands : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CFakeUiServices> m_ui;

private slots:
    void init() { m_ui = std::make_unique<CFakeUiServices>(); }
    void cleanup() {
        QCOMPARE(m_ui->unexpected, 0);
        m_ui.reset();
    }

    void move_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<bool>("modified");
        QTest::newRow("up C") << "ABCD"
                              << "C" << true << "ACBD" << true;
        QTest::newRow("down C back") << "ACBD"
                                     << "C" << false << "ABCD" << true;
        QTest::newRow("up first row") << "ABCD"
                                      << "A" << true << "ABCD" << false;
        QTest::newRow("down last row") << "ABCD"
                                       << "D" << false << "ABCD" << false;
        QTest::newRow("up two selected") << "ABCD"
                                         << "BC" << true << "ABCD" << false;
        QTest::newRow("down none selected") << "ABCD"
                                            << "" << false << "ABCD" << false;
    }
    void move() {
        QFETCH(QString, start);
        QFETCH(QString, selected);
        QFETCH(bool, up);
        QFETCH(QString, rows);
        QFETCH(bool, modified);
        Form f(start);
        f.Select(selected);
        up ? f.commands->OnMoveUp() : f.commands->OnMoveDown();
        QCOMPARE(f.Rows(), rows);
        QCOMPARE(f.Selected(), selected);
        QCOMPARE(f.doc.IsModified(), modified);
        // Both texts travel with the row.
        for (int r = 0; r < f.list->GetRowCount(); ++r)
            QCOMPARE(f.list->GetCellText(r, 1),
                     "http://" + QString(f.Rows()[r].toLower()).toStdString() + "/");
    }

    void deleteRows_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("after");
        QTest::newRow("B and D") << "BD"
                                 << "ACE"
                                 << "C";
        QTest::newRow("last two") << "DE"
                                  << "ABC"
                                  << "C";
        QTest::newRow("all") << "ABCDE"
                             << ""
                             << "";
        QTest::newRow("none, still modified") << ""
                                              << "ABCDE"
                                              << "";
    }
    void deleteRows() {
        QFETCH(QString, selected);
        QFETCH(QString, rows);
        QFETCH(QString, after);
        Form f(QStringLiteral("ABCDE"));
        f.Select(selected);
        QCOMPARE(f.Enabled(cmd::ID_EDIT_DELETE), !selected.isEmpty());
        QVERIFY(f.commands->OnCommand(cmd::ID_DELETE_LINK));
        QCOMPARE(f.Rows(), rows);
        QCOMPARE(f.Selected(), after);
        QVERIFY(f.doc.IsModified());
    }

    void copyWritesSelectedRowsTopToBottom() {
        Form f;
        f.Select(QStringLiteral("BD"));
        QVERIFY(f.Enabled(cmd::ID_EDIT_COPY));
        f.commands->OnCommand(cmd::ID_EDIT_COPY);
        QCOMPARE(Clipboard(), QStringLiteral("http://b/\tB\nhttp://d/\tD\n"));
        QVERIFY(!f.doc.IsModified());

        // Pasted into another group they keep that order.
        f.view.GetTabBar()->setCurrentIndex(2);
        f.Focus(f.list);
        QCOMPARE(f.Rows(), QString());
        QVERIFY(f.Enabled(cmd::ID_EDIT_PASTE));
        f.commands->OnCommand(cmd::ID_EDIT_PASTE);
        QCOMPARE(f.Rows(), QStringLiteral("BD"));
        QCOMPARE(f.list->GetCellText(1, 1), std::string("http://d/"));
        QVERIFY(f.doc.IsModified());
    }

    void cutRemovesRows() {
        Form f;
        f.Select(QStringLiteral("AC"));
        f.commands->OnCommand(cmd::ID_EDIT_CUT);
        QCOMPARE(Clipboard(), QStringLiteral("http://a/\tA\nhttp://c/\tC\n"));
        QCOMPARE(f.Rows(), QStringLiteral("BD"));
        QVERIFY(f.doc.IsModified());
    }

    void pasteOnList_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("rows");
        QTest::newRow("url line") << "https://e/\tE\r\n" << true << "ABCDE";
        QTest::newRow("blank lines first") << "\n  \nhttp://e/\tE" << true << "ABCDE";
        QTest::newRow("plain words") << "some words\nhttp://e/\tE\n" << false << "ABCD";
        QTest::newRow("empty") << "" << false << "ABCD";
    }
    void pasteOnList() {
        QFETCH(QString, clipboard);
        QFETCH(bool, enabled);
        QFETCH(QString, rows);
        Form f;
        SetClipboard(clipboard);
        QCOMPARE(f.Enabled(cmd::ID_EDIT_PASTE), enabled);
        f.commands->OnCommand(cmd::ID_EDIT_PASTE);
        QCOMPARE(f.Rows(), rows);
        QCOMPARE(f.doc.IsModified(), enabled);
        if (enabled) // no carriage return kept
            QCOMPARE(f.list->GetCellText(4, 0), std::string("E"));
    }

    void enableRulesFollowFocus_data() {
        QTest::addColumn<QString>("focus"); // list, title, columns
        QTest::addColumn<bool>("editSelection");
        QTest::addColumn<bool>("cutCopy");
        QTest::addColumn<bool>("paste");
        QTest::newRow("list") << "list" << false << true << true;
        QTest::newRow("title, selection") << "title" << true << true << true;
        QTest::newRow("title, no selection") << "title" << false << false << true;
        QTest::newRow("columns") << "columns" << true << false << false;
    }
    void enableRulesFollowFocus() {
        QFETCH(QString, focus);
        QFETCH(bool, editSelection);
        QFETCH(bool, cutCopy);
        QFETCH(bool, paste);
        Form f;
        f.view.GetTitleEdit()->setText(QStringLiteral("Title"));
        f.Select(QStringLiteral("B"));
        SetClipboard(QStringLiteral("http://x/\tX\n"));
        QLineEdit* edit = focus == "title"     ? f.view.GetTitleEdit()
                          : focus == "columns" ? f.view.GetColumnsEdit()
                                               : nullptr;
        f.Focus(edit ? static_cast<QWidget*>(edit) : f.list);
        if (edit) {
            if (editSelection)
                edit->selectAll();
            else
                edit->deselect();
        }
        QCOMPARE(f.Enabled(cmd::ID_EDIT_CUT), cutCopy);
        QCOMPARE(f.Enabled(cmd::ID_EDIT_COPY), cutCopy);
        QCOMPARE(f.Enabled(cmd::ID_EDIT_PASTE), paste);
        // Delete follows the list's selection wherever the focus is.
        QVERIFY(f.Enabled(cmd::ID_EDIT_DELETE));
        QVERIFY(f.Enabled(cmd::ID_DELETE_LINK));
        QVERIFY(f.Enabled(cmd::ID_LINK_PROPERTIES));
        f.Select(QStringLiteral("BC"));
        QVERIFY(!f.Enabled(cmd::ID_LINK_PROPERTIES));
    }

    void editCommandsOnTitle() {
        Form f;
        f.Select(QStringLiteral("B"));
        QLineEdit* title = f.view.GetTitleEdit();
        title->setText(QStringLiteral("My Page"));
        f.doc.SetModifiedFlag(false);
        f.Focus(title);
        title->setSelection(3, 4); // "Page"

        f.commands->OnCommand(cmd::ID_EDIT_COPY);
        QCOMPARE(Clipboard(), QStringLiteral("Page"));
        QVERIFY(!f.doc.IsModified());

        // Delete clears the edit's selection and leaves the rows alone.
        f.commands->OnCommand(cmd::ID_EDIT_DELETE);
        QCOMPARE(title->text(), QStringLiteral("My "));
        QCOMPARE(f.Rows(), QStringLiteral("ABCD"));
        QVERIFY(f.doc.IsModified());

        f.doc.SetModifiedFlag(false);
        f.commands->OnCommand(cmd::ID_EDIT_PASTE);
        QCOMPARE(title->text(), QStringLiteral("My Page"));
        QVERIFY(f.doc.IsModified());

        f.doc.SetModifiedFlag(false);
        title->setSelection(0, 2);
        f.commands->OnCommand(cmd::ID_EDIT_CUT);
        QCOMPARE(title->text(), QStringLiteral(" Page"));
        QCOMPARE(Clipboard(), QStringLiteral("My"));
        QVERIFY(f.doc.IsModified());
    }

    void addLink_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void addLink() {
        QFETCH(bool, ok);
        Form f;
        QString shown = QStringLiteral("unset");
        m_ui->setNextDialog([&](QDialog& dlg) {
            shown =
                Child<QLineEdit>(dlg, "ctl1001")->text() + Child<QLineEdit>(dlg, "ctl1003")->text();
            Child<QLineEdit>(dlg, "ctl1001")->setText(QStringLiteral("E"));
            Child<QLineEdit>(dlg, "ctl1003")->setText(QStringLiteral("http://e/"));
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        QVERIFY(f.Enabled(cmd::ID_ADD_LINK));
        f.commands->OnCommand(cmd::ID_ADD_LINK);
        QCOMPARE(shown, QString());
        QCOMPARE(f.Rows(), ok ? QStringLiteral("ABCDE") : QStringLiteral("ABCD"));
        QCOMPARE(f.Selected(), QString());
        QCOMPARE(f.doc.IsModified(), ok);
    }

    void linkPropertiesEditsFocusedRow_data() {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("OK") << true << "A" << false;
        QTest::newRow("Cancel") << false << "A" << false;
        QTest::newRow("double-click, nothing selected") << true << "" << true;
    }
    void linkPropertiesEditsFocusedRow() {
        QFETCH(bool, ok);
        QFETCH(QString, selected);
        QFETCH(bool, doubleClick);
        Form f;
        f.Select(selected);
        f.list->SetFocusedRow(2); // C has the focus, unselected
        QString shown;
        m_ui->setNextDialog([&](QDialog& dlg) {
            shown = Child<QLineEdit>(dlg, "ctl1001")->text() + QLatin1Char('|') +
                    Child<QLineEdit>(dlg, "ctl1003")->text();
            Child<QLineEdit>(dlg, "ctl1001")->setText(QStringLiteral("X"));
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        if (doubleClick)
            emit f.list->linkDoubleClicked();
        else
            f.commands->OnCommand(cmd::ID_LINK_PROPERTIES);
        QCOMPARE(shown, QStringLiteral("C|http://c/"));
        QCOMPARE(f.Rows(), ok ? QStringLiteral("ABXD") : QStringLiteral("ABCD"));
        QCOMPARE(f.list->GetCellText(2, 1), std::string("http://c/"));
        QCOMPARE(f.doc.IsModified(), ok);
    }

    void groupProperties_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void groupProperties() {
        QFETCH(bool, ok);
        Form f;
        CUrlGroup& group = f.doc.m_groups[3];
        group.m_strTitle = "Fourth";
        group.m_strBullet = "dot.gif";
        group.m_nStyle = 2;
        f.view.GetTabBar()->setCurrentIndex(3);
        f.doc.SetModifiedFlag(false);
        const CUrlGroup before = group;
        QString shown;
        m_ui->setNextDialog([&](QDialog& dlg) {
            shown = Child<QLineEdit>(dlg, "ctl1000")->text() + QLatin1Char('|') +
                    Child<QLineEdit>(dlg, "ctl1013")->text();
            Child<QLineEdit>(dlg, "ctl1000")->setText(QStringLiteral("Renamed"));
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        QVERIFY(f.Enabled(cmd::ID_GROUP_PROPERTIES));
        f.commands->OnCommand(cmd::ID_GROUP_PROPERTIES);
        QCOMPARE(shown, QStringLiteral("Fourth|dot.gif"));
        CUrlGroup expected = before;
        if (ok)
            expected.m_strTitle = "Renamed";
        QCOMPARE(group, expected);
        QCOMPARE(f.doc.IsModified(), ok);
        QCOMPARE(f.view.GetTabBar()->tabText(3), QStringLiteral("4"));
    }

    void colors_data() {
        QTest::addColumn<bool>("changeBackground");
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK without change") << false << true;
        QTest::newRow("red background, Cancel") << true << false;
        QTest::newRow("red background, OK") << true << true;
    }
    void colors() {
        QFETCH(bool, changeBackground);
        QFETCH(bool, ok);
        Form f;
        m_ui->setNextDialog([&](QDialog& dlg) {
            if (changeBackground)
                Child<QAbstractButton>(dlg, "ctl1017")->click();
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        if (changeBackground)
            m_ui->setNextColor(QColor(255, 0, 0));
        f.commands->OnColors();
        QCOMPARE(f.doc.m_clrBackground,
                 ok && changeBackground ? COLORREF(0x0000FF) : COLORREF(0xFFFFFF));
        QCOMPARE(f.doc.m_clrLink, COLORREF(0));
        QCOMPARE(f.doc.m_clrVisitedLink, COLORREF(0x800000));
        QCOMPARE(f.doc.IsModified(), ok);
    }

    void titleFont_data() {
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK without change") << false << true;
        QTest::newRow("italic, OK") << true << true;
        QTest::newRow("italic, Cancel") << true << false;
    }
    void titleFont() {
        QFETCH(bool, italic);
        QFETCH(bool, ok);
        Form f;
        const std::vector<CUrlGroup> groups = f.doc.m_groups;
        m_ui->setNextDialog([&](QDialog& dlg) {
            if (italic)
                Child<QListWidget>(dlg, "ctl1137")->setCurrentRow(2);
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        f.commands->OnTitleFont();
        QCOMPARE(f.doc.m_nTitleStyle, ok && italic ? 2 : 0);
        QCOMPARE(f.doc.m_strTitleFace, std::string("Arial"));
        QCOMPARE(f.doc.m_clrTitle, COLORREF(0));
        QCOMPARE(f.doc.IsModified(), ok);
        QVERIFY(f.doc.m_groups == groups);
    }

    void dragToTab_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("moved");
        QTest::newRow("to tab 3") << 2 << "DB"
                                  << "AC"
                                  << "BD";
        QTest::newRow("to own tab") << 0 << "B"
                                    << "ABCD"
                                    << "";
        QTest::newRow("nothing selected") << 2 << ""
                                          << "ABCD"
                                          << "";
    }
    void dragToTab() {
        QFETCH(int, tab);
        QFETCH(QString, selected);
        QFETCH(QString, rows);
        QFETCH(QString, moved);
        Form f;
        f.doc.AddLink(2, "Z", "http://z/");
        f.Select(selected);
        f.commands->MoveSelectedRowsToGroup(tab);
        QCOMPARE(f.Rows(), rows);
        QString group;
        for (const CLinkEntry& link : f.doc.m_groups[2].m_links)
            group += QString::fromStdString(link.m_strDescription);
        QCOMPARE(group, QStringLiteral("Z") + moved);
        QCOMPARE(f.view.GetTabBar()->currentIndex(), 0);
        QCOMPARE(f.doc.IsModified(), !moved.isEmpty());
    }

    void keysAndMenusInTheMainWindow() {
        QTemporaryDir home;
        CStartPageApp app({home.filePath(QStringLiteral("linkfold.ini")), home.path(), {}});
        CCommandLineInfo info;
        info.m_nShellCommand = CCommandLineInfo::FileNew;
        QVERIFY(app.InitInstance(info));
        CMainFrame* frame = app.GetMainFrame();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        CLFView* view = frame->GetView();
        CLinkListCtrl* list = view->GetLinkList();
        list->SetRows({{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}});
        list->setFocus();
        QCoreApplication::processEvents();

        // Disabled commands do not run.
        frame->UpdateCommandUI();
        QVERIFY(!frame->GetAction(cmd::ID_EDIT_DELETE)->isEnabled());
        QVERIFY(!frame->OnCommand(cmd::ID_LINK_PROPERTIES));

        list->SelectRow(0);
        list->SelectRow(2);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Clipboard(), QStringLiteral("http://a/\tA\nhttp://c/\tC\n"));
        QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(list->GetRowCount(), 5);
        QCOMPARE(list->GetCellText(4, 0), std::string("C"));
        QVERIFY(view->GetDocument()->IsModified());
        view->GetDocument()->SetModifiedFlag(false); // no save question at the end
    }

    void contextMenu() {
        Form f;
        f.Select(QStringLiteral("BC"));
        SetClipboard(QStringLiteral("not a link"));
        std::unique_ptr<QMenu> menu(f.commands->CreateContextMenu(&f.view));
        QStringList items;
        for (QAction* a : menu->actions())
            items << (a->isSeparator() ? QStringLiteral("-")
                                       : a->text() + (a->isEnabled() ? "" : " (off)"));
        QCOMPARE(items, QStringList({"Cut\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V (off)",
                                     "&Delete\tDel", "-", "&Add...", "&Group Properties",
                                     "&Link Properties (off)"}));
        // An item runs its command on the view.
        menu->findChild<QAction*>(QStringLiteral("ctx32777"))->trigger();
        QCOMPARE(f.Rows(), QStringLiteral("AD"));
        QVERIFY(f.doc.IsModified());
    }
};

QTEST_MAIN(TestLinkCommands)
#include "tst_linkcommands.moc"
