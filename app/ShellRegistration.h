#pragma once

#include <QString>
#include <QStringList>

// The file type "Linkfold Document" (*.lfp) and the program's desktop entry,
// the freedesktop way, under a data folder ($XDG_DATA_HOME, by default
// ~/.local/share):
//   mime/packages/linkfold.xml                       the document type
//   applications/linkfold.desktop                    open and print commands
//   icons/hicolor/scalable/apps/linkfold.svg         program icon
//   icons/hicolor/scalable/mimetypes/<type>.svg      document icon
// followed by update-mime-database / update-desktop-database when present.
class CShellRegistration {
public:
    // dataHome: the data folder; program: the program's absolute path.
    CShellRegistration(QString dataHome, QString program);

    // Writes the files (only those whose content differs) and refreshes the
    // desktop's caches when something changed. Returns false when a file
    // could not be written; the ones after it are skipped.
    bool Register();
    // Removes exactly the files Register writes. Returns false when one that
    // exists could not be removed.
    bool Unregister();

    // The files Register writes, absolute.
    QStringList Files() const;

    // True when a type other than ours already claims "*.lfp" in the shared
    // MIME database (the data folder and $XDG_DATA_DIRS).
    bool OtherTypeClaimsExtension() const;

    QString MimePackageText(bool claimExtension) const;
    QString DesktopEntryText() const;

    // Folder from the environment: $XDG_DATA_HOME or ~/.local/share.
    static QString DefaultDataHome();

private:
    bool WriteIfChanged(const QString& path, const QByteArray& bytes, bool& changed) const;
    void RefreshCaches() const;

    QString m_dataHome;
    QString m_program;
};

inline constexpr const char* kMimeType = "application/x-linkfold-document";
inline constexpr const char* kMimeIconName = "application-x-linkfold-document";
inline constexpr const char* kFileTypeName = "Linkfold Document";
