#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QCoreApplication;

// The windows speak the user's language: Linkfold's own messages from
// translations/linkfold_<language>.qm and Qt's standard buttons and dialogs
// from Qt's qtbase_<language>.qm. The headless verbs load none of this.
namespace translations {

// The languages the user asks for, most wanted first, as gettext reads
// them: the colon-separated LANGUAGE list, then the first of LC_ALL,
// LC_MESSAGES and LANG that is set ("de_DE.UTF-8" gives "de_DE"). The C and
// POSIX locales ask for no language (English). getenv is the environment's
// lookup; tests pass their own.
QStringList requestedLanguages(const std::function<QString(const char*)>& getenv);

// Where the program's .qm files are: translations/ beside the program in
// the build tree, share/linkfold/translations installed.
QString translationDirectory();

// Installs the translators for the first requested language that has a
// Linkfold translation (English, the source language, ends the search).
// Returns the language chosen ("de"), or an empty string for English.
// directory overrides translationDirectory() (tests).
QString install(QCoreApplication& app, const QStringList& languages,
                const QString& directory = QString());

// install() with the languages of the process environment.
QString installForEnvironment(QCoreApplication& app);

} // namespace translations
