#include "core/Project.h"
#include "editor/LinkListModel.h"
#include "editor/LinkListView.h"
#include "editor/ProjectCommands.h"
#include "editor/ProjectDocument.h"

#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// A window with a tab bar above a link list showing group 1 of a project,
// as in the form; drags and drops are carried out as the form's commands do.
struct ListWindow {
    ProjectDocument history;
    Project& project = history.project();
    QWidget window;
    QTabBar* tabs;
    LinkListView* list;

    explicit ListWindow(const QStringList& descriptions = {}) {
        auto* layout = new QVBoxLayout(&window);
        tabs = new QTabBar(&window);
        for (int i = 1; i <= 10; ++i)
            tabs->addTab(QString::number(i));
        list = new LinkListView(&window);
        list->setTabTarget(tabs);
        list->setProject(&project);
        QObject::connect(list, &LinkListView::rowMoveRequested, [this](int from, int to) {
            history.push(LinkEditCommand::moveRow(project, "Move Link", 0, std::size_t(from),
                                                  std::size_t(to)));
        });
        QObject::connect(list, &LinkListView::linksDropped, [this](const std::vector<Link>& l) {
            history.push(LinkEditCommand::append(project, "Drop", 0, l));
        });
        layout->addWidget(tabs);
        layout->addWidget(list);
        window.resize(640, 420);
        for (const QString& d : descriptions)
            append(d.toStdString(), "http://" + d.toLower().toStdString() + "/");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    void append(const std::string& description, const std::string& url) {
        project.addLink(0, description, url);
    }

    QStringList descriptions() const {
        QStringList out;
        for (int r = 0; r < list->linkCount(); ++r)
            out << QString::fromStdString(list->cellText(r, 0));
        return out;
    }

    QWidget* vp() const { return list->viewport(); }
    QPoint rowCenter(int row) const {
        return list->visualRect(list->model()->index(row, 0)).center();
    }
    // A point of another widget, in the list viewport's coordinates (the
    // list holds the mouse during a drag, so it receives every move).
    QPoint fromWidget(QWidget* w, QPoint p) const { return vp()->mapFromGlobal(w->mapToGlobal(p)); }

    // Presses on `row`, moves through the points, releases at the last one.
    void drag(int row, const QList<QPoint>& path) {
        QPoint start = rowCenter(row);
        QTest::mousePress(vp(), Qt::LeftButton, {}, start);
        for (const QPoint& p : path)
            QTest::mouseMove(vp(), p);
        QTest::mouseRelease(vp(), Qt::LeftButton, {}, path.isEmpty() ? start : path.last());
    }
};

QRgb pixel(QWidget* w, QPoint p) {
    return w->grab().toImage().pixel(p);
}

} // namespace

class TestLinkList : public QObject {
    Q_OBJECT
private slots:
    void rowOperations();
    void selectedRowsHighestFirst();
    void manySelectedRows();
    void deleteRows_data();
    void deleteRows();
    void focusedRowIsNotSelection();
    void dragReorders_data();
    void dragReorders();
    void dragMovesOnlyTheRowUnderThePointer();
    void dragKeepsLongTexts();
    void dragOntoAnotherTab();
    void dragShowsCursorVerdict();
    void rightClickKeepsSelection();
    void fileDrops_data();
    void fileDrops();
    void browserDrops_data();
    void browserDrops();
    void stripesFollowRowIndices();
    void selectionAndColumnLines();
};

void TestLinkList::rowOperations() {
    // The list shows the project's group as it changes.
    ListWindow w({"A", "B"});
    LinkListView* l = w.list;
    Project& p = w.project;
    p.putLinks(0, {{1}, {Link("X", "http://x/")}, {p.newLinkId()}}); // before B
    QCOMPARE(w.descriptions(), QStringList({"A", "X", "B"}));
    QCOMPARE(l->cellText(1, 1), std::string("http://x/"));
    QCOMPARE(l->cellText(7, 1), std::string()); // no such row
    QCOMPARE(l->cellText(0, 2), std::string()); // no such column
    p.takeLinks(0, {0, 9});
    QCOMPARE(l->linkCount(), 2);
    QCOMPARE(l->cellText(1, 1), std::string("http://b/"));
    // Project text is shown in every script.
    p.replaceLinks(0, {{0}, {Link("Caf\u00E9 \u20AC \u65E5\U0001F600", "http://x/")}, {}});
    QCOMPARE(l->model()->index(0, 0).data().toString(), QString::fromUtf8("Café € 日😀"));
    // Another group shows its own links; a reset of the shown one empties it.
    p.setLinks(3, {{"G", "http://g/"}});
    l->setGroup(3);
    QCOMPARE(w.descriptions(), QStringList({"G"}));
    p.clearLinks(3);
    QCOMPARE(l->linkCount(), 0);
}

void TestLinkList::selectedRowsHighestFirst() {
    ListWindow w({"0", "1", "2", "3", "4", "5", "6", "7", "8"});
    for (int r : {4, 1, 7})
        w.list->selectRow(r);
    QCOMPARE(w.list->selectedRows(), std::vector<int>({7, 4, 1}));
    QCOMPARE(w.list->selectedCount(), 3);
    w.list->selectRow(4, false);
    QCOMPARE(w.list->selectedRows(), std::vector<int>({7, 1}));
    // Ranges that overlap, touch, split and cover single cells count each
    // row once, as the rows themselves do.
    QItemSelectionModel* model = w.list->selectionModel();
    const QAbstractItemModel* m = w.list->model();
    auto range = [m](int top, int bottom, int column) {
        return QItemSelection(m->index(top, column), m->index(bottom, column));
    };
    model->clearSelection();
    model->select(range(1, 5, 0), QItemSelectionModel::Select);
    model->select(range(3, 7, 1), QItemSelectionModel::Select);
    model->select(range(8, 8, 0), QItemSelectionModel::Select);
    QCOMPARE(w.list->selectedCount(), static_cast<int>(w.list->selectedRows().size()));
    QCOMPARE(w.list->selectedCount(), 8);
    model->select(range(2, 4, 0), QItemSelectionModel::Toggle);
    QCOMPARE(w.list->selectedCount(), static_cast<int>(w.list->selectedRows().size()));
}

void TestLinkList::manySelectedRows() {
    // Selections are not limited to 2000 rows.
    ListWindow w;
    std::vector<Link> links(3000, Link("d", "u"));
    w.project.setLinks(0, links);
    w.list->selectAll();
    std::vector<int> rows = w.list->selectedRows();
    QCOMPARE(rows.size(), size_t(3000));
    QCOMPARE(rows.front(), 2999);
    QCOMPARE(rows.back(), 0);
}

void TestLinkList::deleteRows_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("rows");
    QList<int> everyOther, all;
    for (int i = 0; i < 300; ++i) {
        all << i;
        if (i % 2)
            everyOther << i;
    }
    QTest::newRow("a few, unordered") << 6 << QList<int>{4, 1, 3, 9, -1};
    QTest::newRow("many separate rows") << 300 << everyOther;
    QTest::newRow("every row") << 300 << all;
}

void TestLinkList::deleteRows() {
    QFETCH(int, count);
    QFETCH(QList<int>, rows);
    ListWindow w;
    std::vector<Link> links;
    for (int i = 0; i < count; ++i)
        links.emplace_back(std::to_string(i), "u" + std::to_string(i));
    w.project.setLinks(0, links);
    std::vector<std::size_t> doomed;
    for (int r : rows)
        if (r >= 0)
            doomed.push_back(std::size_t(r));
    w.project.takeLinks(0, doomed);
    QStringList expected;
    for (int i = 0; i < count; ++i)
        if (!rows.contains(i))
            expected << QString::number(i);
    QCOMPARE(w.descriptions(), expected);
    for (int r = 0; r < w.list->linkCount(); ++r) // the URLs stay with their rows
        QCOMPARE("u" + w.list->cellText(r, 0), w.list->cellText(r, 1));
}

void TestLinkList::focusedRowIsNotSelection() {
    ListWindow w({"A", "B", "C"});
    QCOMPARE(ListWindow().list->focusedRow(), -1);
    w.list->selectRow(0);
    w.list->setFocusedRow(2);
    QCOMPARE(w.list->focusedRow(), 2);
    QCOMPARE(w.list->selectedRows(), std::vector<int>({0}));
    // Ctrl+click moves the focus to a row it takes out of the selection.
    QTest::mouseClick(w.vp(), Qt::LeftButton, Qt::ControlModifier, w.rowCenter(1));
    QTest::mouseClick(w.vp(), Qt::LeftButton, Qt::ControlModifier, w.rowCenter(1));
    QCOMPARE(w.list->focusedRow(), 1);
    QVERIFY(!w.list->isRowSelected(1));
}

void TestLinkList::dragReorders_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("target"); // a row number, "below", "header", "outside", "back"
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<bool>("notified");
    const QStringList same{"A", "B", "C", "D"};
    QTest::newRow("first on third") << 0 << "2" << QStringList{"B", "A", "C", "D"} << true;
    QTest::newRow("last on second") << 3 << "1" << QStringList{"A", "D", "B", "C"} << true;
    QTest::newRow("below the rows") << 0 << "below" << QStringList{"B", "C", "D", "A"} << true;
    QTest::newRow("on the next row") << 1 << "2" << same << false;
    QTest::newRow("back on itself") << 1 << "back" << same << false;
    QTest::newRow("over the header") << 0 << "header" << same << false;
    QTest::newRow("outside the window") << 0 << "outside" << same << false;
}

void TestLinkList::dragReorders() {
    QFETCH(int, from);
    QFETCH(QString, target);
    QFETCH(QStringList, order);
    QFETCH(bool, notified);
    ListWindow w({"A", "B", "C", "D"});
    w.list->selectRow(from);
    QSignalSpy changed(w.list, &LinkListView::rowMoveRequested);
    QSignalSpy tab(w.list, &LinkListView::rowsDroppedOnTab);

    QList<QPoint> path;
    if (target == "below") {
        path << QPoint(40, w.vp()->height() - 5);
    } else if (target == "header") {
        path << w.fromWidget(w.list->header(), QPoint(40, w.list->header()->height() / 2));
    } else if (target == "outside") {
        path << QPoint(40, w.vp()->height() - 5) << QPoint(-2000, -2000);
    } else if (target == "back") {
        path << w.rowCenter(3) << w.rowCenter(from);
    } else {
        path << w.rowCenter(target.toInt());
    }
    w.drag(from, path);

    QCOMPARE(w.descriptions(), order);
    QCOMPARE(changed.size(), notified ? 1 : 0);
    QCOMPARE(tab.size(), 0);
    QVERIFY(!w.list->isDragging());
}

void TestLinkList::dragMovesOnlyTheRowUnderThePointer() {
    ListWindow w({"A", "B", "C", "D", "E"});
    for (int r : {0, 1, 2})
        w.list->selectRow(r);
    w.drag(1, {w.rowCenter(4)});
    QCOMPARE(w.descriptions(), QStringList({"A", "C", "D", "B", "E"}));
}

void TestLinkList::dragKeepsLongTexts() {
    ListWindow w({"A", "B"});
    const std::string description(300, 'd');
    const std::string url = "http://example.com/" + std::string(400, 'u');
    w.append(description, url);
    w.drag(2, {w.rowCenter(0)});
    QCOMPARE(w.list->cellText(0, 0), description);
    QCOMPARE(w.list->cellText(0, 1), url);
}

void TestLinkList::dragOntoAnotherTab() {
    ListWindow w({"A", "B", "C"});
    w.tabs->setCurrentIndex(0);
    QSignalSpy tab(w.list, &LinkListView::rowsDroppedOnTab);
    QSignalSpy changed(w.list, &LinkListView::rowMoveRequested);
    // Two selected rows stay selected while one of them is dragged.
    w.list->selectRow(0);
    w.list->selectRow(2);
    const QPoint tab3 = w.fromWidget(w.tabs, w.tabs->tabRect(2).center());
    w.drag(2, {w.rowCenter(1), tab3});
    QCOMPARE(tab.size(), 1);
    QCOMPARE(tab.at(0).at(0).toInt(), 2);
    QCOMPARE(changed.size(), 0); // the list itself moved nothing
    QCOMPARE(w.descriptions(), QStringList({"A", "B", "C"}));
    QCOMPARE(w.list->selectedRows(), std::vector<int>({2, 0}));
    QCOMPARE(w.tabs->currentIndex(), 0);

    // The selected tab is not a target.
    const QPoint tab1 = w.fromWidget(w.tabs, w.tabs->tabRect(0).center());
    w.drag(0, {w.rowCenter(1), tab1});
    QCOMPARE(tab.size(), 1);
    QCOMPARE(changed.size(), 0);
}

void TestLinkList::dragShowsCursorVerdict() {
    ListWindow w({"A", "B", "C"});
    QTest::mousePress(w.vp(), Qt::LeftButton, {}, w.rowCenter(0));
    QTest::mouseMove(w.vp(), w.rowCenter(2));
    QVERIFY(w.list->isDragging());
    QVERIFY(w.list->isDropAllowed());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->hotSpot(), QPoint(4, 6));
    QCOMPARE(QApplication::overrideCursor()->pixmap().size(), QSize(32, 32));
    QTest::mouseMove(w.vp(), w.fromWidget(w.list->header(), QPoint(10, 5)));
    QVERIFY(!w.list->isDropAllowed());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
    QTest::mouseRelease(w.vp(), Qt::LeftButton, {}, w.fromWidget(w.list->header(), QPoint(10, 5)));
    QVERIFY(!QApplication::overrideCursor());

    // A release that never reaches the list (another window took the mouse)
    // ends the drag at the next move without a button, moving nothing.
    QTest::mousePress(w.vp(), Qt::LeftButton, {}, w.rowCenter(0));
    QTest::mouseMove(w.vp(), w.rowCenter(2));
    QVERIFY(w.list->isDragging());
    const QPoint p = w.rowCenter(2);
    QMouseEvent move(QEvent::MouseMove, p, w.vp()->mapToGlobal(p), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(w.vp(), &move);
    QVERIFY(!w.list->isDragging());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(w.descriptions(), QStringList({"A", "B", "C"}));
    QTest::mouseRelease(w.vp(), Qt::LeftButton, {}, p); // keeps QTest's button state in step
}

void TestLinkList::rightClickKeepsSelection() {
    ListWindow w({"A", "B", "C"});
    w.list->selectRow(0);
    w.list->selectRow(2);
    QSignalSpy menu(w.list, &LinkListView::contextMenuRequested);
    QTest::mousePress(w.vp(), Qt::RightButton, {}, w.rowCenter(1));
    QTest::mouseRelease(w.vp(), Qt::RightButton, {}, w.rowCenter(1));
    QTest::mousePress(w.list->header()->viewport(), Qt::RightButton, {}, QPoint(20, 5));
    QCOMPARE(menu.size(), 2);
    QCOMPARE(menu.at(0).at(0).toPoint(), w.vp()->mapToGlobal(w.rowCenter(1)));
    QCOMPARE(w.list->selectedRows(), std::vector<int>({2, 0}));
}

namespace {
void drop(LinkListView* list, QMimeData* mime) {
    const QPoint pos(30, 30);
    // The file manager would take a move as leave to delete the files.
    const Qt::DropActions offered = Qt::MoveAction | Qt::CopyAction | Qt::LinkAction;
    QDragEnterEvent enter(pos, offered, mime, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(pos), offered, mime, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
}
} // namespace

void TestLinkList::fileDrops_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("rows"); // description|url
    const QString hp = "Home.Page|http://example.org/home";
    const QString news = "News|https://news.example.com/today";
    QTest::newRow("two shortcuts and a text file")
        << QStringList{"Home.Page.url", "notes.txt", "News.desktop"} << QStringList{hp, news};
    QTest::newRow("shell order kept")
        << QStringList{"News.desktop", "Home.Page.url"} << QStringList{news, hp};
    QTest::newRow("only a text file") << QStringList{"notes.txt"} << QStringList{};
    QTest::newRow("an application entry") << QStringList{"Editor.desktop"} << QStringList{};
    QTest::newRow("a missing file") << QStringList{"gone.url"} << QStringList{};
}

void TestLinkList::fileDrops() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, rows);
    ListWindow w({"Existing"});
    QSignalSpy changed(w.list, &LinkListView::linksDropped);
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(QStringLiteral(LINKFOLD_TEST_DATA "/shortcuts/") + f);
    QMimeData mime;
    mime.setUrls(urls);
    drop(w.list, &mime);

    QStringList expected{"Existing|http://existing/"};
    expected += rows;
    QStringList got;
    for (int r = 0; r < w.list->linkCount(); ++r)
        got << QString::fromStdString(w.list->cellText(r, 0) + "|" + w.list->cellText(r, 1));
    QCOMPARE(got, expected);
    QCOMPARE(changed.size(), rows.isEmpty() ? 0 : 1); // a drop of nothing is no edit
}

void TestLinkList::browserDrops_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("rows");
    QString moz = QStringLiteral("https://example.com/a\nExample A");
    QTest::newRow("moz url with title")
        << "text/x-moz-url"
        << QByteArray(reinterpret_cast<const char*>(moz.utf16()), moz.size() * 2)
        << QStringList{"Example A|https://example.com/a"};
    QTest::newRow("uri list without title")
        << "text/uri-list" << QByteArray("https://example.com/b\r\n")
        << QStringList{"(https://example.com/b)|https://example.com/b"};
    QTest::newRow("netscape url") << "_NETSCAPE_URL" << QByteArray("https://example.com/c\nC page")
                                  << QStringList{"C page|https://example.com/c"};
}

void TestLinkList::browserDrops() {
    QFETCH(QString, format);
    QFETCH(QByteArray, data);
    QFETCH(QStringList, rows);
    ListWindow w;
    QMimeData mime;
    mime.setData(format, data);
    if (format == "text/x-moz-url") // browsers offer both; the title comes from this one
        mime.setUrls({QUrl("https://example.com/a")});
    drop(w.list, &mime);
    QStringList got;
    for (int r = 0; r < w.list->linkCount(); ++r)
        got << QString::fromStdString(w.list->cellText(r, 0) + "|" + w.list->cellText(r, 1));
    QCOMPARE(got, rows);
}

void TestLinkList::stripesFollowRowIndices() {
    const QColor blue(215, 235, 255);
    {
        // Empty: bands of the row height from the top, light blue first.
        ListWindow w;
        const int h = w.list->stripeHeight();
        QVERIFY(h > 4);
        QCOMPARE(QColor(pixel(w.vp(), QPoint(100, 1))), blue);
        QCOMPARE(QColor(pixel(w.vp(), QPoint(100, h + 1))), QColor(Qt::white));
        QCOMPARE(QColor(pixel(w.vp(), QPoint(100, 2 * h + 1))), blue);
    }
    ListWindow w;
    std::vector<Link> links(40, Link("x", "y"));
    w.project.setLinks(0, links);
    QTest::qWait(0);
    w.list->scrollTo(w.list->model()->index(5, 0), QAbstractItemView::PositionAtTop);
    QCOMPARE(w.list->indexAt(QPoint(10, 1)).row(), 5);
    const int h = w.list->visualRect(w.list->model()->index(5, 0)).height();
    QCOMPARE(QColor(pixel(w.vp(), QPoint(w.vp()->width() - 3, 1))), QColor(Qt::white));
    QCOMPARE(QColor(pixel(w.vp(), QPoint(w.vp()->width() - 3, h + 1))), blue);

    // Below the last row the stripes go on.
    ListWindow few({"A", "B", "C"});
    const int bottom = few.list->visualRect(few.list->model()->index(2, 0)).bottom();
    const int fh = few.list->stripeHeight();
    QCOMPARE(QColor(pixel(few.vp(), QPoint(50, bottom + 2))), QColor(Qt::white)); // row 3
    QCOMPARE(QColor(pixel(few.vp(), QPoint(50, bottom + fh + 2))), blue);         // row 4
}

void TestLinkList::selectionAndColumnLines() {
    ListWindow w({"A", "B"});
    w.list->selectRow(1);
    const QRect r = w.list->visualRect(w.list->model()->index(1, 0));
    const QImage img = w.vp()->grab().toImage();
    const QColor highlight = w.list->palette().color(QPalette::Active, QPalette::Highlight);
    const int x = w.list->columnWidth(0) + w.list->columnWidth(1) - 10; // past the URL's text
    QCOMPARE(QColor(img.pixel(x, r.center().y())), highlight);
    QCOMPARE(QColor(img.pixel(x, r.top())), QColor(Qt::white)); // one pixel short at the top
    QCOMPARE(QColor(img.pixel(x, r.bottom())), QColor(Qt::white));
    const int line = w.list->columnWidth(0) - 1;
    QCOMPARE(QColor(img.pixel(line, r.center().y())), QColor(0x80, 0x80, 0x80));
    // A resize repaints the lines at the new width.
    w.list->setColumnWidth(0, 150);
    QTest::qWait(0);
    const QImage after = w.vp()->grab().toImage();
    QCOMPARE(QColor(after.pixel(149, 3)), QColor(0x80, 0x80, 0x80));
}

QTEST_MAIN(TestLinkList)
#include "tst_linklist.moc"
