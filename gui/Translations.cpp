#include "gui/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>

namespace translations {

namespace {

// "de_DE.UTF-8@euro" -> "de_DE"; empty for C and POSIX.
QString languageOfLocale(QString name) {
    name = name.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0).trimmed();
    if (name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return {};
    return name;
}

} // namespace

QStringList requestedLanguages(const std::function<QString(const char*)>& getenv) {
    QString locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = getenv(name);
        if (!locale.isEmpty())
            break;
    }
    const QString localeLanguage = languageOfLocale(locale);
    QStringList languages;
    // As gettext does, LANGUAGE counts only when a locale other than C is set.
    if (!localeLanguage.isEmpty()) {
        for (const QString& entry :
             getenv("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
            const QString language = languageOfLocale(entry);
            if (!language.isEmpty() && !languages.contains(language))
                languages << language;
        }
        if (!languages.contains(localeLanguage))
            languages << localeLanguage;
    }
    return languages;
}

QString translationDirectory() {
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& dir : {appDir + QStringLiteral("/translations"),
                               appDir + QStringLiteral("/../share/linkfold/translations")}) {
        if (QFileInfo(dir).isDir())
            return QDir::cleanPath(dir);
    }
    return {};
}

QString install(QCoreApplication& app, const QStringList& languages, const QString& directory) {
    const QString dir = directory.isEmpty() ? translationDirectory() : directory;
    for (const QString& language : languages) {
        // English is the language of the sources: nothing to load.
        if (language == QLatin1String("en") || language.startsWith(QLatin1String("en_")))
            return {};
        auto* own = new QTranslator(&app);
        // "de_AT" finds linkfold_de_AT.qm, else linkfold_de.qm.
        if (dir.isEmpty() || !own->load(QStringLiteral("linkfold_") + language, dir)) {
            delete own;
            continue;
        }
        QCoreApplication::installTranslator(own);
        auto* qt = new QTranslator(&app);
        if (qt->load(QStringLiteral("qtbase_") + language,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
        return language.section(QLatin1Char('_'), 0, 0);
    }
    return {};
}

QString installForEnvironment(QCoreApplication& app) {
    return install(app, requestedLanguages([](const char* name) {
                       return QString::fromLocal8Bit(std::getenv(name));
                   }));
}

} // namespace translations
