// The windows in the user's language: which language the environment asks
// for, the German translation and Qt's own, and every dialog laid out so that
// no text is clipped and no dialog is larger than the screen, in English,
// German and a pseudo-translation that lengthens every text by 40 % with
// accents. Mnemonics are on every control and unique within each window and
// menu. CTest runs this program on several virtual screens and scale factors
// (tests/CMakeLists.txt); each run checks the screen it was given.

#include "app/AboutDialog.h"
#include "app/Application.h"
#include "core/FileError.h"
#include "core/ProjectExtension.h"
#include "dialogs/FontDialog.h"
#include "dialogs/GroupDialog.h"
#include "dialogs/LinkDialog.h"
#include "dialogs/PageColorsDialog.h"
#include "dialogs/PageStyleDialog.h"
#include "gui/FileErrorText.h"
#include "gui/QtText.h"
#include "gui/Translations.h"
#include "support/StartedWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTranslator>
#include <QtTest>

#include <cmath>
#include <map>

namespace {

// Every text 40 % longer and with accents; placeholders, mnemonics and the
// shortcut after a tab stay as they are, so that the program still works.
class PseudoTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override {
        const QString text = QString::fromUtf8(source);
        QStringList lines = text.split(QLatin1Char('\n'));
        for (QString& line : lines) {
            const QString shortcut = line.contains(QLatin1Char('\t'))
                                         ? line.mid(line.indexOf(QLatin1Char('\t')))
                                         : QString();
            line.chop(shortcut.size());
            QString out;
            for (qsizetype i = 0; i < line.size(); ++i) {
                const QChar c = line[i];
                if (c == QLatin1Char('%') && i + 1 < line.size()) {
                    out += c;
                    out += line[++i];
                    continue;
                }
                static const QString plain = QStringLiteral("aeiouAEIOUcnyCNY");
                static const QString accented = QStringLiteral("áéîöüÁÉÎÖÜçñýÇÑÝ");
                const qsizetype k = plain.indexOf(c);
                out += k >= 0 ? accented[k] : c;
            }
            const qsizetype visible = line.size() - line.count(QLatin1Char('&'));
            const auto extra = static_cast<qsizetype>(std::ceil(0.4 * double(visible)));
            if (extra > 0)
                out += QStringLiteral(" ") + QString(extra - 1, QChar(0x00F8)); // ø
            line = out + shortcut;
        }
        return lines.join(QLatin1Char('\n'));
    }
};

enum class Language { English, German, Pseudo };

void removeTranslators() {
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

void useLanguage(Language language) {
    removeTranslators();
    if (language == Language::German) {
        QCOMPARE(translations::install(*qApp, {QStringLiteral("de_DE")},
                                       QStringLiteral(LINKFOLD_TRANSLATIONS_DIR)),
                 QStringLiteral("de"));
    } else if (language == Language::Pseudo) {
        QCoreApplication::installTranslator(new PseudoTranslator(qApp));
    }
}

// The letter a text's mnemonic gives, lower case; 0 for none.
QChar mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return QChar();
}

// The text a widget shows and would be clipped if its room were too small.
QString shownText(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    return {};
}

// Every label and button of a shown window has the room its text asks for,
// and the window fits on the screen.
void checkFits(QWidget& window, const QString& what) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    const QSize screen = window.screen()->availableGeometry().size();
    const QSize needed = window.size().expandedTo(window.minimumSizeHint());
    QVERIFY2(needed.width() <= screen.width() && needed.height() <= screen.height(),
             qPrintable(QStringLiteral("%1 is %2x%3, the screen %4x%5")
                            .arg(what)
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(screen.width())
                            .arg(screen.height())));
    // From 640x512 logical pixels up, every dialog shows all of itself
    // without scrolling; below, a dialog's body may scroll.
    if (screen.width() >= 640 && screen.height() >= 512) {
        for (QScrollArea* area : window.findChildren<QScrollArea*>()) {
            QVERIFY2(!area->verticalScrollBar()->isVisible() &&
                         !area->horizontalScrollBar()->isVisible(),
                     qPrintable(what + QStringLiteral(" scrolls")));
        }
    }
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || shownText(w).isEmpty())
            continue;
        auto* label = qobject_cast<QLabel*>(w);
        const QSize hint = w->sizeHint();
        const bool fits = label && label->wordWrap()
                              ? label->heightForWidth(w->width()) <= w->height()
                              : hint.width() <= w->width() && hint.height() <= w->height();
        QVERIFY2(fits, qPrintable(QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
                                      .arg(what, shownText(w))
                                      .arg(hint.width())
                                      .arg(hint.height())
                                      .arg(w->width())
                                      .arg(w->height())));
    }
}

// Every label with a buddy and every button, check box and radio button has
// a mnemonic, and no two share one.
void checkMnemonics(QWidget& window, const QString& what) {
    std::map<QChar, QString> taken;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QString text = shownText(w);
        auto* label = qobject_cast<QLabel*>(w);
        if (text.isEmpty() || (label && !label->buddy()))
            continue;
        const QChar key = mnemonic(text);
        QVERIFY2(!key.isNull(), qPrintable(what + QStringLiteral(": no mnemonic in ") + text));
        const auto [it, added] = taken.emplace(key, text);
        QVERIFY2(
            added,
            qPrintable(
                QStringLiteral("%1: %2 and %3 share Alt+%4").arg(what, it->second, text, key)));
    }
}

struct DialogCase {
    const char* name;
    // Opens the dialog; the check runs on it while it is open.
    std::function<void()> open;
};

QList<DialogCase> dialogCases() {
    return {
        {"Link",
         [] {
             LinkDialog::edit(nullptr, {"A description", "https://example.org/"});
         }},
        {"Group", [] { GroupDialog::edit(nullptr, {}); }},
        {"Colors", [] { PageColorsDialog::edit(nullptr, {}); }},
        {"Font", [] { FontDialog::pick(nullptr, 14, {}); }},
        {"PageStyle", [] { PageStyleDialog::edit(nullptr, PageStyle{}); }},
        {"About",
         [] {
             AboutDialog about;
             UiServices::instance().execDialog(about);
         }},
    };
}

const char* languageName(Language l) {
    return l == Language::English ? "English" : l == Language::German ? "German" : "pseudo";
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { removeTranslators(); }

    void requestedLanguages_data() {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QStringList>("languages");
        QTest::newRow("LANG") << QStringList{"LANG=de_DE.UTF-8"} << QStringList{"de_DE"};
        QTest::newRow("LC_MESSAGES over LANG")
            << QStringList{"LANG=en_US.UTF-8", "LC_MESSAGES=de_AT.UTF-8"} << QStringList{"de_AT"};
        QTest::newRow("LC_ALL over both")
            << QStringList{"LANG=fr_FR", "LC_MESSAGES=en_US", "LC_ALL=de_DE@euro"}
            << QStringList{"de_DE"};
        QTest::newRow("LANGUAGE list first")
            << QStringList{"LANG=en_US.UTF-8", "LANGUAGE=fr:de_DE:fr"}
            << QStringList{"fr", "de_DE", "en_US"};
        QTest::newRow("C ignores LANGUAGE")
            << QStringList{"LANG=C", "LANGUAGE=de"} << QStringList{};
        QTest::newRow("nothing set") << QStringList{} << QStringList{};
    }
    void requestedLanguages() {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, languages);
        const auto getenv = [&environment](const char* name) {
            const QString prefix = QLatin1String(name) + QLatin1Char('=');
            for (const QString& entry : environment)
                if (entry.startsWith(prefix))
                    return entry.mid(prefix.size());
            return QString();
        };
        QCOMPARE(translations::requestedLanguages(getenv), languages);
    }

    void install_data() {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("German") << QStringList{"de_DE"} << "de";
        QTest::newRow("Austrian finds German") << QStringList{"de_AT"} << "de";
        QTest::newRow("unknown, then German") << QStringList{"xx", "de"} << "de";
        QTest::newRow("English first") << QStringList{"en_GB", "de"} << "";
        QTest::newRow("none known") << QStringList{"xx"} << "";
    }
    void install() {
        QFETCH(QStringList, languages);
        QFETCH(QString, chosen);
        QCOMPARE(translations::install(*qApp, languages, QStringLiteral(LINKFOLD_TRANSLATIONS_DIR)),
                 chosen);
        // Linkfold's own texts and Qt's standard buttons.
        const bool german = !chosen.isEmpty();
        QCOMPARE(QCoreApplication::translate("MainWindow", "&Project"),
                 german ? QStringLiteral("&Projekt") : QStringLiteral("&Project"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 german ? QStringLiteral("Abbrechen") : QStringLiteral("Cancel"));
    }

    // The German window: menus, a dialog and an undo step name.
    void germanWindow() {
        useLanguage(Language::German);
        StartedWindow w;
        QStringList titles;
        for (QAction* menu : w.frame->menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, QStringList({"&Projekt", "&Bearbeiten", "&Seite", "&Hilfe"}));
        QCOMPARE(w.action("actionUndo")->text(), QStringLiteral("&Rückgängig"));
        QString title;
        w.ui.setNextDialog([&title](QDialog& dlg) {
            title = dlg.windowTitle();
            return int(QDialog::Rejected);
        });
        w.action("actionAbout")->trigger();
        QCOMPARE(title, QStringLiteral("Über"));
    }

    // The core's file errors, which the headless verbs print in English,
    // reach the windows in the user's language with the file name intact.
    void fileErrors() {
        const std::string file = "/tmp/a b/\xc3\xa4%1.lfp";
        for (int language : {int(Language::English), int(Language::German)}) {
            useLanguage(Language(language));
            for (int c = int(FileErrorCause::None); c <= int(FileErrorCause::PageIsProject); ++c) {
                const std::string english = fileErrorText(FileErrorCause(c), file);
                const QString shown = translatedFileError(english);
                if (Language(language) == Language::English)
                    QCOMPARE(shown, fromFileNameBytes(english));
                else
                    QVERIFY2(shown != fromFileNameBytes(english), english.c_str());
                if (english.find(file) != std::string::npos)
                    QVERIFY2(shown.contains(fromFileNameBytes(file)), qPrintable(shown));
            }
            // Any other text is shown as it is.
            QCOMPARE(translatedFileError("Some other message about x.lfp."),
                     QStringLiteral("Some other message about x.lfp."));
        }
        QCOMPARE(translatedFileError(fileErrorText(FileErrorCause::FileNotFound, "/p.lfp")),
                 QStringLiteral("/p.lfp wurde nicht gefunden."));
    }

    // Texts the core or the terminal shares with the windows are in the
    // translation under the words they have there.
    void sharedTexts() {
        useLanguage(Language::German);
        const QList<QPair<const char*, const char*>> texts = {
            {"Application", kUnregisterDone},
            {"Application", kUnregisterFailed},
            {"ProjectFileController", kExtrasDroppedMessage},
        };
        for (const auto& [context, text] : texts)
            QVERIFY2(QCoreApplication::translate(context, text) != QLatin1String(text), text);
    }

    void dialogsFit_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("dialog");
        for (Language l : {Language::English, Language::German, Language::Pseudo})
            for (int i = 0; i < dialogCases().size(); ++i)
                QTest::addRow("%s %s", languageName(l), dialogCases()[i].name) << int(l) << i;
    }
    void dialogsFit() {
        QFETCH(int, language);
        QFETCH(int, dialog);
        useLanguage(Language(language));
        FakeUiServices ui;
        const DialogCase c = dialogCases()[dialog];
        bool opened = false;
        ui.setNextDialog([&](QDialog& dlg) {
            opened = true;
            checkFits(dlg, QLatin1String(c.name));
            if (Language(language) != Language::Pseudo)
                checkMnemonics(dlg, QLatin1String(c.name));
            return int(QDialog::Rejected);
        });
        c.open();
        QVERIFY(opened);
    }

    // Project and Page share Alt+P: the first press opens Project, the
    // second Page, as the help says.
    void altPTwice() {
        StartedWindow w;
        QStringList opened;
        for (int press = 0; press < 2; ++press) {
            w.key(Qt::Key_P, Qt::AltModifier);
            QTest::qWait(50);
            QWidget* popup = QApplication::activePopupWidget();
            opened << (popup ? popup->objectName() : QString());
        }
        QCOMPARE(opened, QStringList({"menuProject", "menuPage"}));
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

    // The main window's menus: each entry has a mnemonic unique in its
    // menu; the menu bar's titles are unique but for Project and Page,
    // which share Alt+P as the classic menus do (Alt+P twice reaches Page).
    void menuMnemonics_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << int(Language::English);
        QTest::newRow("German") << int(Language::German);
    }
    void menuMnemonics() {
        QFETCH(int, language);
        useLanguage(Language(language));
        StartedWindow w;
        std::map<QChar, int> bar;
        for (QAction* menuAction : w.frame->menuBar()->actions()) {
            ++bar[mnemonic(menuAction->text())];
            std::map<QChar, QString> taken;
            for (QAction* a : menuAction->menu()->actions()) {
                // The recent files are numbered; the empty list's greyed
                // placeholder takes no key.
                if (a->isSeparator() || !a->isVisible() ||
                    a->objectName().startsWith(QLatin1String("actionRecentFile")))
                    continue;
                const QChar key = mnemonic(a->text());
                QVERIFY2(!key.isNull(), qPrintable(a->text()));
                const auto [it, added] = taken.emplace(key, a->text());
                QVERIFY2(added, qPrintable(it->second + QStringLiteral(" and ") + a->text()));
            }
        }
        for (const auto& [key, count] : bar)
            QVERIFY2(count == 1 || (key == QLatin1Char('p') && count == 2 &&
                                    Language(language) == Language::English),
                     qPrintable(QString(key)));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
