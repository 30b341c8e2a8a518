#include "dialogs/ColorPicker.h"
#include "dialogs/ColorSwatchButton.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/FontDialog.h"
#include "dialogs/FontRules.h"
#include "dialogs/GroupDialog.h"
#include "dialogs/LinkDialog.h"
#include "dialogs/PageColorsDialog.h"
#include "gui/HelpLauncher.h"
#include "gui/ImageFilters.h"
#include "gui/QtText.h"
#include "support/FakeUiServices.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

template <typename T> T* child(QDialog& dlg, const char* name) {
    T* w = dlg.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qWarning("no control %s", name);
    return w;
}

void click(QDialog& dlg, const char* name) {
    child<QAbstractButton>(dlg, name)->click();
}

void setText(QDialog& dlg, const char* name, const QString& text) {
    child<QLineEdit>(dlg, name)->setText(text);
}

QString text(QDialog& dlg, const char* name) {
    return child<QLineEdit>(dlg, name)->text();
}

// The entry points on values held by the caller: changed only on OK.
bool pickFont(QWidget* window, int points, std::string& face, std::int32_t& style,
              RgbColor& color) {
    const auto chosen = FontDialog::pick(window, points, {face, style, color});
    if (chosen) {
        face = chosen->face;
        style = chosen->style;
        color = chosen->color;
    }
    return chosen.has_value();
}

bool editLink(std::string& description, std::string& url) {
    const auto values = LinkDialog::edit(nullptr, {description, url});
    if (values) {
        description = values->description;
        url = values->url;
    }
    return values.has_value();
}

bool editGroup(LinkGroup& group) {
    const auto values = GroupDialog::edit(nullptr, GroupDialog::Values::fromGroup(group));
    if (values)
        values->applyTo(group);
    return values.has_value();
}

bool editColors(RgbColor& background, RgbColor& link, RgbColor& visited) {
    const auto values = PageColorsDialog::edit(nullptr, {background, link, visited});
    if (values) {
        background = values->background;
        link = values->link;
        visited = values->visitedLink;
    }
    return values.has_value();
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeUiServices> m_ui;

private slots:
    void initTestCase() {
        // Custom colours left over from an earlier run of some Qt program.
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, QColor(1, 2, 3));
    }
    void init() { m_ui = std::make_unique<FakeUiServices>(); }
    void cleanup() {
        QCOMPARE(m_ui->unexpected, 0);
        m_ui.reset();
    }

    // --- window-free rules ---

    void pointSizeToHeight_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("height");
        QTest::newRow("14pt 96dpi") << 14 << 96 << -18;
        QTest::newRow("32pt 96dpi") << 32 << 96 << -42;
        QTest::newRow("14pt 120dpi") << 14 << 120 << -23;
        QTest::newRow("32pt 120dpi") << 32 << 120 << -53;
        QTest::newRow("zero") << 0 << 96 << 0;
    }
    void pointSizeToHeight() {
        QFETCH(int, points);
        QFETCH(int, dpi);
        QFETCH(int, height);
        QCOMPARE(::pointSizeToHeight(points, dpi), height);
    }

    void pointSizeToHeightOfWindow() {
        QWidget w;
        QCOMPARE(::pointSizeToHeight(&w, 14), ::pointSizeToHeight(14, w.logicalDpiY()));
        QVERIFY(::pointSizeToHeight(&w, 32) < 0);
    }

    void styleCode_data() {
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("weight");
        QTest::addColumn<int>("style");
        QTest::newRow("regular") << false << 400 << 0;
        QTest::newRow("bold") << false << 700 << 1;
        QTest::newRow("italic") << true << 400 << 2;
        QTest::newRow("bold italic") << true << 700 << 3;
        QTest::newRow("semibold is not bold") << false << 600 << 0;
        QTest::newRow("extrabold is not bold") << false << 800 << 0;
        QTest::newRow("black italic is italic only") << true << 900 << 2;
    }
    void styleCode() {
        QFETCH(bool, italic);
        QFETCH(int, weight);
        QFETCH(int, style);
        QCOMPARE(styleCodeFromFont(italic, weight), style);
    }

    // --- font picker ---

    void fontPickerStyle_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("startRow");
        QTest::addColumn<int>("chosenRow");
        QTest::addColumn<int>("result");
        QTest::newRow("bold italic to regular") << 3 << 3 << 0 << 0;
        QTest::newRow("bold italic to italic") << 3 << 3 << 2 << 2;
        QTest::newRow("regular to italic") << 0 << 0 << 2 << 2;
        QTest::newRow("italic kept") << 2 << 2 << 2 << 2;
    }
    void fontPickerStyle() {
        QFETCH(int, start);
        QFETCH(int, startRow);
        QFETCH(int, chosenRow);
        QFETCH(int, result);
        std::string face = "Arial";
        std::int32_t style = start;
        RgbColor color = 0;
        int shownRow = -1;
        QString title;
        m_ui->setNextDialog([&](QDialog& dlg) {
            title = dlg.windowTitle();
            auto* styles = child<QListWidget>(dlg, "styleList");
            shownRow = styles->currentRow();
            styles->setCurrentRow(chosenRow);
            return int(QDialog::Accepted);
        });
        QVERIFY(pickFont(nullptr, 32, face, style, color));
        QCOMPARE(title, QStringLiteral("Font"));
        QCOMPARE(shownRow, startRow);
        QCOMPARE(style, result);
    }

    void fontPickerBoldFollowsRealWeight() {
        // Bold counts only when the chosen face really has weight 700.
        std::string face = "Arial";
        std::int32_t style = 0;
        RgbColor color = 0;
        int weight = 0;
        m_ui->setNextDialog([&](QDialog& dlg) {
            child<QListWidget>(dlg, "styleList")->setCurrentRow(3);
            weight = static_cast<FontDialog&>(dlg).chosenWeight();
            return int(QDialog::Accepted);
        });
        QVERIFY(pickFont(nullptr, 14, face, style, color));
        QCOMPARE(style, weight == 700 ? 3 : 2);
    }

    void fontPickerColor_data() {
        QTest::addColumn<uint>("start");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("choose"); // empty: keep
        QTest::addColumn<uint>("result");
        QTest::newRow("navy kept") << 0x800000u << "Navy" << 16 << "" << 0x800000u;
        QTest::newRow("black to red") << 0u << "Black" << 16 << "Red" << 0x0000FFu;
        QTest::newRow("maroon is red half") << 0x000080u << "Maroon" << 16 << "" << 0x000080u;
        QTest::newRow("custom kept") << 0x123456u << "Custom" << 17 << "" << 0x123456u;
        QTest::newRow("custom to aqua") << 0x123456u << "Custom" << 17 << "Aqua" << 0xFFFF00u;
    }
    void fontPickerColor() {
        QFETCH(uint, start);
        QFETCH(QString, shown);
        QFETCH(int, entries);
        QFETCH(QString, choose);
        QFETCH(uint, result);
        std::string face = "Arial";
        std::int32_t style = 0;
        RgbColor color = start;
        QString shownText;
        int count = 0;
        m_ui->setNextDialog([&](QDialog& dlg) {
            auto* colors = child<QComboBox>(dlg, "colorList");
            shownText = colors->currentText();
            count = colors->count();
            if (!choose.isEmpty())
                colors->setCurrentIndex(colors->findText(choose));
            return int(QDialog::Accepted);
        });
        QVERIFY(pickFont(nullptr, 14, face, style, color));
        QCOMPARE(shownText, shown);
        QCOMPARE(count, entries);
        QCOMPARE(uint(color), result);
    }

    void fontPickerFace_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("uninstalled face kept")
            << QByteArray("No Such Face Anywhere") << QByteArray("No Such Face Anywhere");
        QTest::newRow("cut to 31") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
                                   << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
        QTest::newRow("windows-1252 character")
            << QByteArray("Caf\u00E9") << QByteArray("Caf\u00E9");
        QTest::newRow("cut to 31 characters, not bytes")
            << QByteArray("\u65E5\u672C\u8A9E" + QByteArray(28, 'x') + "\U0001F600")
            << QByteArray("\u65E5\u672C\u8A9E" + QByteArray(28, 'x'));
    }
    void fontPickerFace() {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, result);
        std::string face = start.toStdString();
        std::int32_t style = 1;
        RgbColor color = 0;
        m_ui->setNextDialog([](QDialog&) { return int(QDialog::Accepted); });
        QVERIFY(pickFont(nullptr, 14, face, style, color));
        QCOMPARE(QByteArray::fromStdString(face), result);
    }

    void fontPickerFamiliesSortedAndSelectable() {
        std::string face = "Arial";
        std::int32_t style = 0;
        RgbColor color = 0;
        QString picked;
        m_ui->setNextDialog([&](QDialog& dlg) {
            auto* list = child<QListWidget>(dlg, "faceList");
            for (int i = 1; i < list->count(); ++i) {
                if (QString::compare(list->item(i - 1)->text(), list->item(i)->text(),
                                     Qt::CaseInsensitive) > 0)
                    qWarning("families not sorted");
            }
            if (list->count() == 0)
                return int(QDialog::Rejected);
            list->setCurrentRow(list->count() - 1);
            picked = list->currentItem()->text();
            return int(QDialog::Accepted);
        });
        if (!pickFont(nullptr, 14, face, style, color))
            QSKIP("no fonts installed");
        QCOMPARE(QString::fromLatin1(face.c_str()), picked);
    }

    void styleCodeRules_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("weight");
        QTest::addColumn<bool>("italic");
        QTest::newRow("0 regular") << 0 << 400 << false;
        QTest::newRow("1 bold") << 1 << 700 << false;
        QTest::newRow("2 italic") << 2 << 400 << true;
        QTest::newRow("3 bold italic") << 3 << 700 << true;
        QTest::newRow("4 unknown") << 4 << 400 << false;
        QTest::newRow("7 unknown") << 7 << 400 << false;
        QTest::newRow("-1 unknown") << -1 << 400 << false;
    }
    void styleCodeRules() {
        QFETCH(int, style);
        QFETCH(int, weight);
        QFETCH(bool, italic);
        QCOMPARE(weightFromStyleCode(style), weight);
        QCOMPARE(italicFromStyleCode(style), italic);
    }

    void fontPickerUnknownStyleIsRegular_data() {
        QTest::addColumn<int>("start");
        QTest::newRow("7") << 7;
        QTest::newRow("4") << 4;
        QTest::newRow("-1") << -1;
    }
    void fontPickerUnknownStyleIsRegular() {
        QFETCH(int, start);
        std::string face = "Arial";
        std::int32_t style = start;
        RgbColor color = 0;
        QString shown;
        m_ui->setNextDialog([&](QDialog& dlg) {
            shown = child<QListWidget>(dlg, "styleList")->currentItem()->text();
            return int(QDialog::Accepted);
        });
        QVERIFY(pickFont(nullptr, 14, face, style, color));
        QCOMPARE(shown, QStringLiteral("Regular"));
        QCOMPARE(style, 0);
    }

    void fontPickerFaceAtMost31_data() {
        QTest::addColumn<bool>("typed"); // else chosen from the list
        QTest::newRow("typed") << true;
        QTest::newRow("chosen") << false;
    }
    void fontPickerFaceAtMost31() {
        QFETCH(bool, typed);
        const QString longFace = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");
        std::string face = "Arial";
        std::int32_t style = 0;
        RgbColor color = 0;
        m_ui->setNextDialog([&](QDialog& dlg) {
            auto* edit = child<QLineEdit>(dlg, "faceEdit");
            if (typed) {
                edit->clear();
                QTest::keyClicks(edit, longFace);
            } else {
                auto* list = child<QListWidget>(dlg, "faceList");
                list->addItem(longFace);
                list->setCurrentRow(list->count() - 1);
            }
            return int(QDialog::Accepted);
        });
        QVERIFY(pickFont(nullptr, 14, face, style, color));
        QCOMPARE(QString::fromStdString(face), longFace.left(31));
    }

    void fontPickerSizeAndPlace() {
        QWidget window;
        window.setGeometry(200, 150, 640, 420);
        auto* inside = new QWidget(&window);
        inside->setGeometry(10, 300, 50, 50);
        QSize size, expected;
        QPoint centre;
        m_ui->setNextDialog([&](QDialog& dlg) {
            dlg.show();
            size = dlg.size();
            expected = DialogUnits(dlg.font()).size(266, 138);
            centre = dlg.frameGeometry().center();
            return int(QDialog::Rejected);
        });
        std::string face = "Arial";
        std::int32_t style = 0;
        RgbColor color = 0;
        QVERIFY(!pickFont(inside, 14, face, style, color));
        QCOMPARE(size, expected);
        // Within what a window frame may add on one side.
        QVERIFY2((centre - window.geometry().center()).manhattanLength() <= 8,
                 qPrintable(QStringLiteral("centre %1,%2").arg(centre.x()).arg(centre.y())));
    }

    // --- one-line fields ---

    void singleLineFields_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<int>("cursor"); // where the paste goes in "Old"
        QTest::addColumn<QString>("result");
        const QString lines = QStringLiteral("first\tpart\r\nsecond\nthird");
        QTest::newRow("link description")
            << "link" << QByteArray("descriptionEdit") << lines << 3 << "Oldfirst part";
        QTest::newRow("link url") << "link" << QByteArray("urlEdit") << lines << 3
                                  << "Oldfirst part";
        QTest::newRow("group title, middle")
            << "group" << QByteArray("titleEdit") << QStringLiteral("a\tb\nc") << 1 << "Oa bld";
        QTest::newRow("group bullet, leading break")
            << "group" << QByteArray("bulletEdit") << QStringLiteral("\nx") << 3 << "Old";
        QTest::newRow("pasted text like the text after it")
            << "link" << QByteArray("urlEdit") << QStringLiteral("ld\nld") << 1 << "Oldld";
        QTest::newRow("one line unchanged")
            << "link" << QByteArray("urlEdit") << QStringLiteral("plain") << 0 << "plainOld";
    }
    void singleLineFields() {
        QFETCH(QString, dialog);
        QFETCH(QByteArray, field);
        QFETCH(QString, pasted);
        QFETCH(int, cursor);
        QFETCH(QString, result);
        QApplication::clipboard()->setText(pasted);
        QString shown;
        m_ui->setNextDialog([&](QDialog& dlg) {
            auto* edit = child<QLineEdit>(dlg, field.constData());
            edit->setText(QStringLiteral("Old"));
            edit->setCursorPosition(cursor);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            shown = edit->text();
            return int(QDialog::Rejected);
        });
        if (dialog == QLatin1String("link"))
            QVERIFY(!LinkDialog::edit(nullptr, {}));
        else
            QVERIFY(!GroupDialog::edit(nullptr, {}));
        QCOMPARE(shown, result);
    }

    void storedLineBreaksShownAsTheyAre() {
        // A value read from a project is shown whole; only new input is cut.
        QString shown;
        m_ui->setNextDialog([&](QDialog& dlg) {
            shown = text(dlg, "descriptionEdit");
            return int(QDialog::Accepted);
        });
        const auto values = LinkDialog::edit(nullptr, {"two\nlines", "http://x/"});
        QCOMPARE(shown, QStringLiteral("two\nlines"));
        QVERIFY(values);
        QCOMPARE(values->description, std::string("two\nlines"));
    }

    void groupFieldsOpenAtTheirBeginning() {
        const std::string longText(300, 'x');
        int titleCursor = -1, bulletCursor = -1;
        m_ui->setNextDialog([&](QDialog& dlg) {
            titleCursor = child<QLineEdit>(dlg, "titleEdit")->cursorPosition();
            bulletCursor = child<QLineEdit>(dlg, "bulletEdit")->cursorPosition();
            return int(QDialog::Rejected);
        });
        GroupDialog::Values start;
        start.title = longText;
        start.bullet = "/pictures/" + longText + ".gif";
        QVERIFY(!GroupDialog::edit(nullptr, start));
        QCOMPARE(titleCursor, 0);
        QCOMPARE(bulletCursor, 0);
    }

    // --- names for screen readers ---

    void accessibleNames_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("link description")
            << "link" << QByteArray("descriptionEdit") << "Description:";
        QTest::newRow("link url") << "link" << QByteArray("urlEdit") << "URL:";
        QTest::newRow("group title") << "group" << QByteArray("titleEdit") << "Title:";
        QTest::newRow("group bullet") << "group" << QByteArray("bulletEdit") << "Bullet Image:";
        QTest::newRow("background")
            << "colors" << QByteArray("backgroundSwatch") << "Background: #000000";
        QTest::newRow("unvisited")
            << "colors" << QByteArray("linkSwatch") << "Unvisited Links: #000000";
        QTest::newRow("visited") << "colors" << QByteArray("visitedLinkSwatch")
                                 << "Visited Links: #000000";
        QTest::newRow("font face") << "font" << QByteArray("faceEdit") << "Font:";
        QTest::newRow("font style") << "font" << QByteArray("styleList") << "Font Style";
        QTest::newRow("font list") << "font" << QByteArray("faceList") << "Font";
    }
    void accessibleNames() {
        QFETCH(QString, dialog);
        QFETCH(QByteArray, control);
        QFETCH(QString, name);
        QString heard = QStringLiteral("(no interface)");
        m_ui->setNextDialog([&](QDialog& dlg) {
            QWidget* w = child<QWidget>(dlg, control.constData());
            if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w))
                heard = iface->text(QAccessible::Name);
            return int(QDialog::Rejected);
        });
        if (dialog == QLatin1String("link"))
            QVERIFY(!LinkDialog::edit(nullptr, {}));
        else if (dialog == QLatin1String("group"))
            QVERIFY(!GroupDialog::edit(nullptr, {}));
        else if (dialog == QLatin1String("colors"))
            QVERIFY(!PageColorsDialog::edit(nullptr, {}));
        else
            QVERIFY(!FontDialog::pick(nullptr, 14, {}));
        QCOMPARE(heard, name);
    }

    void imageFiltersStartWithEveryPictureType() {
        const QStringList filters = imageFileFilters();
        const QString all = QStringLiteral("Images (*.png *.jpg *.jpeg *.gif *.svg *.webp *.bmp)");
        QCOMPARE(filters.value(0), all);
        QCOMPARE(toQtNameFilter(all), all);
    }

    void fontPickerCancelChangesNothing() {
        std::string face = "Verdana";
        std::int32_t style = 3;
        RgbColor color = 0x123456;
        m_ui->setNextDialog([](QDialog& dlg) {
            setText(dlg, "faceEdit", QStringLiteral("Other"));
            child<QListWidget>(dlg, "styleList")->setCurrentRow(0);
            child<QComboBox>(dlg, "colorList")->setCurrentIndex(0);
            return int(QDialog::Rejected);
        });
        QVERIFY(!pickFont(nullptr, 32, face, style, color));
        QCOMPARE(face, std::string("Verdana"));
        QCOMPARE(style, 3);
        QCOMPARE(color, RgbColor(0x123456));
    }

    // --- link dialog ---

    void linkEntry_data() {
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<bool>("ok");
        QTest::newRow("both empty") << QByteArray() << QByteArray() << true;
        QTest::newRow("typed") << QByteArray("Example") << QByteArray("http://example.com/")
                               << true;
        QTest::newRow("windows-1252") << QByteArray("Caf\u00E9 \u20AC \u201Cq\u201D")
                                      << QByteArray("http://caf\u00E9/") << true;
        QTest::newRow("every script")
            << QByteArray("\u0395\u03BB\u03BB\u03AC\u03B4\u03B1 \u65E5\u672C \U0001F600")
            << QByteArray("http://\u05E2\u05D1/\u0420\u0443\u0441") << true;
        QTest::newRow("longer than a line edit's default limit")
            << QByteArray(40000, 'd') << QByteArray("http://x/" + QByteArray(50000, 'u')) << true;
        QTest::newRow("cancel") << QByteArray("Changed") << QByteArray("http://changed/") << false;
    }
    void linkEntry() {
        QFETCH(QByteArray, description);
        QFETCH(QByteArray, url);
        QFETCH(bool, ok);
        std::string desc = "Old description";
        std::string address = "http://old/";
        QString shownDesc, shownUrl;
        m_ui->setNextDialog([&](QDialog& dlg) {
            shownDesc = text(dlg, "descriptionEdit");
            shownUrl = text(dlg, "urlEdit");
            child<QLineEdit>(dlg, "descriptionEdit")->setText(toQString(description.toStdString()));
            child<QLineEdit>(dlg, "urlEdit")->setText(toQString(url.toStdString()));
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        QCOMPARE(editLink(desc, address), ok);
        QCOMPARE(shownDesc, QStringLiteral("Old description"));
        QCOMPARE(shownUrl, QStringLiteral("http://old/"));
        if (ok) {
            QCOMPARE(QByteArray::fromStdString(desc), description);
            QCOMPARE(QByteArray::fromStdString(address), url);
        } else {
            QCOMPARE(desc, std::string("Old description"));
            QCOMPARE(address, std::string("http://old/"));
        }
    }

    // --- group dialog ---

    void groupProps_data() {
        QTest::addColumn<bool>("pickFont");   // Font, choose Courier-ish changes, OK
        QTest::addColumn<QString>("browsed"); // "" = Browse not used
        QTest::addColumn<bool>("ok");
        QTest::newRow("title only, OK") << false << "" << true;
        QTest::newRow("font then cancel") << true << "" << false;
        QTest::newRow("font then OK") << true << "" << true;
        QTest::newRow("browse then cancel") << false << "/img/bullet.gif" << false;
        QTest::newRow("browse then OK") << false << "/img/bullet.gif" << true;
    }
    void groupProps() {
        QFETCH(bool, pickFont);
        QFETCH(QString, browsed);
        QFETCH(bool, ok);
        LinkGroup group;
        group.title = "Old title";
        group.bullet = "old.gif";
        group.face = "Verdana";
        group.style = 1;
        group.textColor = 0x0000FF;
        group.links.emplace_back("kept", "http://kept/");
        const LinkGroup before = group;

        int fontHeight = 0;
        QString title;
        Qt::WindowFlags flags;
        QStringList shown; // title and bullet at start, bullet after Browse
        m_ui->setNextDialog([&](QDialog& dlg) {
            title = dlg.windowTitle();
            flags = dlg.windowFlags();
            shown << text(dlg, "titleEdit") << text(dlg, "bulletEdit");
            setText(dlg, "titleEdit", QStringLiteral("New title"));
            if (pickFont)
                click(dlg, "fontButton");
            if (!browsed.isEmpty()) {
                click(dlg, "browseButton");
                shown << text(dlg, "bulletEdit");
            }
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        if (pickFont) {
            m_ui->setNextDialog([&](QDialog& dlg) {
                auto& font = static_cast<FontDialog&>(dlg);
                fontHeight = font.sampleHeight();
                setText(dlg, "faceEdit", QStringLiteral("Courier"));
                child<QListWidget>(dlg, "styleList")->setCurrentRow(2);
                child<QComboBox>(dlg, "colorList")->setCurrentIndex(4); // Navy
                return int(QDialog::Accepted);
            });
        }
        if (!browsed.isEmpty())
            m_ui->setNextFileName(browsed);

        QCOMPARE(editGroup(group), ok);
        QCOMPARE(title, QStringLiteral("Group Properties"));
        QVERIFY(!(flags & Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & Qt::WindowSystemMenuHint));
        QStringList expectedShown{QStringLiteral("Old title"), QStringLiteral("old.gif")};
        if (!browsed.isEmpty())
            expectedShown << browsed;
        QCOMPARE(shown, expectedShown);
        if (pickFont)
            QCOMPARE(fontHeight, ::pointSizeToHeight(static_cast<QWidget*>(nullptr), 14));
        if (!browsed.isEmpty()) {
            QCOMPARE(m_ui->fileDialogs.size(), 1);
            QCOMPARE(
                m_ui->fileDialogs[0].filters,
                QStringList({"Images (*.png *.jpg *.jpeg *.gif *.svg *.webp *.bmp)", "GIF (*.gif)",
                             "JPEG (*.jpg,*.jpeg)", "Windows Bitmap (*.bmp)", "All (*.*)"}));
        }
        if (!ok) {
            QCOMPARE(group, before);
            return;
        }
        QCOMPARE(group.title, std::string("New title"));
        QCOMPARE(group.bullet, browsed.isEmpty() ? before.bullet : browsed.toStdString());
        QCOMPARE(group.face, pickFont ? std::string("Courier") : before.face);
        QCOMPARE(group.style, pickFont ? 2 : before.style);
        QCOMPARE(group.textColor, pickFont ? RgbColor(0x800000) : before.textColor);
        QCOMPARE(group.links, before.links);
    }

    void groupBrowseCancelledKeepsText() {
        LinkGroup group;
        group.bullet = "typed by hand.png";
        m_ui->setNextDialog([](QDialog& dlg) {
            click(dlg, "browseButton");
            return int(QDialog::Accepted);
        });
        m_ui->setNextFileName(QString());
        QVERIFY(editGroup(group));
        QCOMPARE(group.bullet, std::string("typed by hand.png"));
    }

    // --- colours ---

    void colors_data() {
        QTest::addColumn<QByteArray>("swatch"); // empty: none clicked
        QTest::addColumn<bool>("chooserOk");
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK without change") << QByteArray() << false << true;
        QTest::newRow("background red, cancel") << QByteArray("backgroundSwatch") << true << false;
        QTest::newRow("background red, OK") << QByteArray("backgroundSwatch") << true << true;
        QTest::newRow("link red, OK") << QByteArray("linkSwatch") << true << true;
        QTest::newRow("visited red, OK") << QByteArray("visitedLinkSwatch") << true << true;
        QTest::newRow("chooser cancelled, OK") << QByteArray("backgroundSwatch") << false << true;
    }
    void colors() {
        QFETCH(QByteArray, swatch);
        QFETCH(bool, chooserOk);
        QFETCH(bool, ok);
        RgbColor background = 0xFFFFFF, link = 0, visited = 0x800000;
        QString title, heard;
        m_ui->setNextDialog([&](QDialog& dlg) {
            title = dlg.windowTitle();
            if (!swatch.isEmpty()) {
                click(dlg, swatch.constData());
                heard =
                    QAccessible::queryAccessibleInterface(child<QWidget>(dlg, swatch.constData()))
                        ->text(QAccessible::Name);
            }
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        if (!swatch.isEmpty())
            m_ui->setNextColor(chooserOk ? std::optional<QColor>(QColor(255, 0, 0)) : std::nullopt);
        QCOMPARE(editColors(background, link, visited), ok);
        QCOMPARE(title, QStringLiteral("Colors"));
        const bool changed = ok && chooserOk;
        QCOMPARE(background,
                 changed && swatch == "backgroundSwatch" ? RgbColor(0x0000FF) : RgbColor(0xFFFFFF));
        QCOMPARE(link, changed && swatch == "linkSwatch" ? RgbColor(0x0000FF) : RgbColor(0));
        QCOMPARE(visited, changed && swatch == "visitedLinkSwatch" ? RgbColor(0x0000FF)
                                                                   : RgbColor(0x800000));
        // The swatch says the colour it shows now.
        if (!swatch.isEmpty())
            QVERIFY2(heard.endsWith(chooserOk ? ": #FF0000" : ": #FFFFFF"), qPrintable(heard));
    }

    void swatchFocusMark() {
        RgbColor color = 0x00FF00;
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* other = new QLineEdit(&window);
        auto* button = new ColorSwatchButton(&color, &window);
        layout->addWidget(other);
        layout->addWidget(button);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        const QImage unfocused = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        QVERIFY(button->hasFocus());
        const QImage focused = button->grab().toImage();
        QVERIFY(focused != unfocused);
        // The mark stays off the frame and the colour.
        const QRect r = button->rect();
        QCOMPARE(focused.pixelColor(r.center()), QColor(0, 255, 0));
        QCOMPARE(focused.pixelColor(r.left(), r.center().y()),
                 unfocused.pixelColor(r.left(), r.center().y()));
    }

    void swatchDrawing() {
        RgbColor color = 0x00FF00; // lime
        ColorSwatchButton button(&color);
        button.setText(QStringLiteral("(Shows Color)"));
        button.resize(60, 20);
        QImage image = button.grab().toImage();
        const QRgb lime = qRgb(0, 255, 0);
        const QPalette pal = button.palette();
        const QRgb light = pal.color(QPalette::Light).rgb();
        const QRgb dark = pal.color(QPalette::Shadow).rgb();
        QCOMPARE(image.pixel(0, 10), light);
        QCOMPARE(image.pixel(30, 0), light);
        QCOMPARE(image.pixel(59, 10), dark);
        QCOMPARE(image.pixel(30, 19), dark);
        // Filled 4 px in from the sides and 3 px from top and bottom.
        QCOMPARE(image.pixel(4, 3), lime);
        QCOMPARE(image.pixel(55, 16), lime);
        QVERIFY(image.pixel(3, 10) != lime);
        QVERIFY(image.pixel(56, 10) != lime);
        QVERIFY(image.pixel(30, 2) != lime);
        QVERIFY(image.pixel(30, 17) != lime);
        // The colour is read at every paint.
        color = 0x0000FF;
        QCOMPARE(button.grab().toImage().pixel(30, 10), qRgb(255, 0, 0));
    }

    void customColorsStartWhiteAndLast() {
        RgbColor color = 0;
        m_ui->setNextColor(std::nullopt);
        QVERIFY(!pickColor(nullptr, color));
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QCOMPARE(QColorDialog::customColor(i), QColor(Qt::white));
        QColorDialog::setCustomColor(5, QColor(10, 20, 30)); // defined by the user
        m_ui->setNextColor(QColor(0, 0, 128));
        QVERIFY(pickColor(nullptr, color));
        QCOMPARE(color, RgbColor(0x800000));
        QCOMPARE(QColorDialog::customColor(5), QColor(10, 20, 30));
    }

    // --- help buttons ---

    void help_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("context");
        QTest::addColumn<bool>("launched");
        QTest::newRow("link") << 0 << int(help::Page::LinkDialog) << true;
        QTest::newRow("group") << 1 << int(help::Page::GroupDialog) << true;
        QTest::newRow("colors") << 2 << int(help::Page::ColorsDialog) << true;
        QTest::newRow("colors, no browser") << 2 << int(help::Page::ColorsDialog) << false;
    }
    void help() {
        QFETCH(int, which);
        QFETCH(int, context);
        QFETCH(bool, launched);
        QTemporaryDir dir;
        for (help::Page p : {help::Page::Contents, help::Page::LinkDialog, help::Page::GroupDialog,
                             help::Page::ColorsDialog}) {
            QFile page(dir.filePath(help::pageFileName(p)));
            QVERIFY(page.open(QIODevice::WriteOnly));
        }
        help::setHelpDirectory(dir.path());
        m_ui->setBrowserResult(launched);
        m_ui->setNextDialog([](QDialog& dlg) {
            click(dlg, "helpButton");
            return int(QDialog::Rejected);
        });
        if (which == 0)
            QVERIFY(!LinkDialog::edit(nullptr, {}));
        else if (which == 1)
            QVERIFY(!GroupDialog::edit(nullptr, {}));
        else
            QVERIFY(!PageColorsDialog::edit(nullptr, {}));
        help::setHelpDirectory(QString());
        QCOMPARE(m_ui->opened, QStringList{dir.filePath(help::pageFileName(help::Page(context)))});
        QCOMPARE(m_ui->messages.size(), launched ? 0 : 1);
        if (!launched)
            QCOMPARE(m_ui->messages[0].text, noBrowserMessage(m_ui->opened[0]));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
