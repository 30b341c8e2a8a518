#pragma once

#include <QString>
#include <QStringList>

// The file type "Linkfold Document" (*.lfp) and the program's desktop entry,
// the freedesktop way, under a data folder ($XDG_DATA_HOME, by default
// ~/.local/share):
//   mime/packages/linkfold.xml                       the document type
//   applications/linkfold.desktop                    the open command
//   icons/hicolor/scalable/apps/linkfold.svg         program icon
//   icons/hicolor/scalable/mimetypes/<type>.svg      document icon
// followed by update-mime-database / update-desktop-database when present.
// When the program is itself installed (its entry and MIME package exist in
// a folder of $XDG_DATA_DIRS and the entry starts this same program), the
// package provides all of this and nothing is written for the user.
class DesktopIntegration {
public:
    // dataHome: the data folder; program: the program's absolute path.
    DesktopIntegration(QString dataHome, QString program);

    // Writes the files (only those whose content differs) and refreshes the
    // desktop's caches when something changed. Returns false when a file
    // could not be written; the ones after it are skipped. For an installed
    // program it removes the per-user copies instead.
    bool registerFileTypes();
    // Removes the files registerFileTypes writes, each only while it holds
    // what this program wrote there. Returns false when one could not be
    // removed.
    bool unregisterFileTypes();

    // The files registerFileTypes writes, absolute.
    QStringList files() const;

    // True when a type other than ours already claims "*.lfp" in the shared
    // MIME database (the data folder and $XDG_DATA_DIRS).
    bool otherTypeClaimsExtension() const;

    QString mimePackageText(bool claimExtension) const;
    QString desktopEntryText() const;

    // True when an entry in $XDG_DATA_DIRS starts this same program.
    bool isInstalledSystemWide() const;
    // The program an entry's Exec key starts (its first word, unquoted).
    static QString firstExecWord(const QString& entry);

    // Folder from the environment: $XDG_DATA_HOME or ~/.local/share.
    static QString defaultDataHome();

private:
    bool writeIfChanged(const QString& path, const QByteArray& bytes, bool& changed) const;
    void refreshCaches() const;
    QString earlierDesktopEntryText() const;
    // Every content this program writes, or wrote in earlier versions, at path.
    QList<QByteArray> contentsWritten(const QString& path) const;

    QString m_dataHome;
    QString m_program;
};

inline constexpr const char* kMimeType = "application/x-linkfold-document";
inline constexpr const char* kMimeIconName = "application-x-linkfold-document";
inline constexpr const char* kFileTypeName = "Linkfold Document";
