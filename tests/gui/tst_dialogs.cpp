#include "dialogs/ColorPicker.h"
#include "dialogs/ColorSwatchButton.h"
#include "dialogs/FontDialog.h"
#include "dialogs/FontRules.h"
#include "dialogs/GroupDialog.h"
#include "dialogs/LinkDialog.h"
#include "dialogs/PageColorsDialog.h"
#include "gui/HelpLauncher.h"
#include "gui/QtText.h"
#include "support/FakeUiServices.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
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
            auto* styles = child<QListWidget>(dlg, "ctl1137");
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
            child<QListWidget>(dlg, "ctl1137")->setCurrentRow(3);
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
            auto* colors = child<QComboBox>(dlg, "ctl1139");
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
            auto* list = child<QListWidget>(dlg, "ctl1136");
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

    void fontPickerCancelChangesNothing() {
        std::string face = "Verdana";
        std::int32_t style = 3;
        RgbColor color = 0x123456;
        m_ui->setNextDialog([](QDialog& dlg) {
            setText(dlg, "ctl1136Edit", QStringLiteral("Other"));
            child<QListWidget>(dlg, "ctl1137")->setCurrentRow(0);
            child<QComboBox>(dlg, "ctl1139")->setCurrentIndex(0);
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
            shownDesc = text(dlg, "ctl1001");
            shownUrl = text(dlg, "ctl1003");
            child<QLineEdit>(dlg, "ctl1001")->setText(toQString(description.toStdString()));
            child<QLineEdit>(dlg, "ctl1003")->setText(toQString(url.toStdString()));
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        QCOMPARE(LinkDialog::edit(nullptr, desc, address), ok);
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
        group.m_title = "Old title";
        group.m_bullet = "old.gif";
        group.m_face = "Verdana";
        group.m_style = 1;
        group.m_textColor = 0x0000FF;
        group.m_links.emplace_back("kept", "http://kept/");
        const LinkGroup before = group;

        int fontHeight = 0;
        QString title;
        Qt::WindowFlags flags;
        QStringList shown; // title and bullet at start, bullet after Browse
        m_ui->setNextDialog([&](QDialog& dlg) {
            title = dlg.windowTitle();
            flags = dlg.windowFlags();
            shown << text(dlg, "ctl1000") << text(dlg, "ctl1013");
            setText(dlg, "ctl1000", QStringLiteral("New title"));
            if (pickFont)
                click(dlg, "ctl1005");
            if (!browsed.isEmpty()) {
                click(dlg, "ctl1014");
                shown << text(dlg, "ctl1013");
            }
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        if (pickFont) {
            m_ui->setNextDialog([&](QDialog& dlg) {
                auto& font = static_cast<FontDialog&>(dlg);
                fontHeight = font.m_height;
                setText(dlg, "ctl1136Edit", QStringLiteral("Courier"));
                child<QListWidget>(dlg, "ctl1137")->setCurrentRow(2);
                child<QComboBox>(dlg, "ctl1139")->setCurrentIndex(4); // Navy
                return int(QDialog::Accepted);
            });
        }
        if (!browsed.isEmpty())
            m_ui->setNextFileName(browsed);

        QCOMPARE(GroupDialog::edit(nullptr, group), ok);
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
            QCOMPARE(m_ui->fileDialogs[0].filters,
                     QStringList({"GIF (*.gif)", "JPEG (*.jpg,*.jpeg)", "Windows Bitmap (*.bmp)",
                                  "All (*.*)"}));
        }
        if (!ok) {
            QCOMPARE(group, before);
            return;
        }
        QCOMPARE(group.m_title, std::string("New title"));
        QCOMPARE(group.m_bullet, browsed.isEmpty() ? before.m_bullet : browsed.toStdString());
        QCOMPARE(group.m_face, pickFont ? std::string("Courier") : before.m_face);
        QCOMPARE(group.m_style, pickFont ? 2 : before.m_style);
        QCOMPARE(group.m_textColor, pickFont ? RgbColor(0x800000) : before.m_textColor);
        QCOMPARE(group.m_links, before.m_links);
    }

    void groupBrowseCancelledKeepsText() {
        LinkGroup group;
        group.m_bullet = "typed by hand.png";
        m_ui->setNextDialog([](QDialog& dlg) {
            click(dlg, "ctl1014");
            return int(QDialog::Accepted);
        });
        m_ui->setNextFileName(QString());
        QVERIFY(GroupDialog::edit(nullptr, group));
        QCOMPARE(group.m_bullet, std::string("typed by hand.png"));
    }

    // --- colours ---

    void colors_data() {
        QTest::addColumn<int>("swatch"); // 0 none, 1017..1019
        QTest::addColumn<bool>("chooserOk");
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK without change") << 0 << false << true;
        QTest::newRow("background red, cancel") << 1017 << true << false;
        QTest::newRow("background red, OK") << 1017 << true << true;
        QTest::newRow("link red, OK") << 1018 << true << true;
        QTest::newRow("visited red, OK") << 1019 << true << true;
        QTest::newRow("chooser cancelled, OK") << 1017 << false << true;
    }
    void colors() {
        QFETCH(int, swatch);
        QFETCH(bool, chooserOk);
        QFETCH(bool, ok);
        RgbColor background = 0xFFFFFF, link = 0, visited = 0x800000;
        QString title;
        m_ui->setNextDialog([&](QDialog& dlg) {
            title = dlg.windowTitle();
            if (swatch)
                click(dlg, QByteArray("ctl" + QByteArray::number(swatch)).constData());
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        if (swatch)
            m_ui->setNextColor(chooserOk ? std::optional<QColor>(QColor(255, 0, 0)) : std::nullopt);
        QCOMPARE(PageColorsDialog::edit(nullptr, background, link, visited), ok);
        QCOMPARE(title, QStringLiteral("Colors"));
        const bool changed = ok && chooserOk;
        QCOMPARE(background, changed && swatch == 1017 ? RgbColor(0x0000FF) : RgbColor(0xFFFFFF));
        QCOMPARE(link, changed && swatch == 1018 ? RgbColor(0x0000FF) : RgbColor(0));
        QCOMPARE(visited, changed && swatch == 1019 ? RgbColor(0x0000FF) : RgbColor(0x800000));
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
        QTest::newRow("link") << 0 << 100 << true;
        QTest::newRow("group") << 1 << 101 << true;
        QTest::newRow("colors") << 2 << 102 << true;
        QTest::newRow("colors, no browser") << 2 << 102 << false;
    }
    void help() {
        QFETCH(int, which);
        QFETCH(int, context);
        QFETCH(bool, launched);
        QTemporaryDir dir;
        for (int c : {0, 100, 101, 102}) {
            QFile page(dir.filePath(help::pageForContext(c)));
            QVERIFY(page.open(QIODevice::WriteOnly));
        }
        help::setHelpDirectory(dir.path());
        m_ui->setBrowserResult(launched);
        std::unique_ptr<QDialog> dlg;
        if (which == 0)
            dlg = std::make_unique<LinkDialog>();
        else if (which == 1)
            dlg = std::make_unique<GroupDialog>();
        else
            dlg = std::make_unique<PageColorsDialog>();
        click(*dlg, "ctl3");
        help::setHelpDirectory(QString());
        QCOMPARE(m_ui->opened, QStringList{dir.filePath(help::pageForContext(context))});
        QCOMPARE(m_ui->messages.size(), launched ? 0 : 1);
        if (!launched)
            QCOMPARE(m_ui->messages[0].text, QStringLiteral("Failed to launch help."));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
