<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Copyright (C) 2026 The Linkfold developers.
Free software under the MIT License.
Written in C++ with the Qt toolkit.
Thanks to everyone who keeps their links tidy.</source>
        <translation>Copyright (C) 2026 Die Linkfold-Entwickler.
Freie Software unter der MIT-Lizenz.
Geschrieben in C++ mit dem Qt-Toolkit.
Dank an alle, die ihre Links in Ordnung halten.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>The file type registration has been removed and the settings file (if any) was deleted.</source>
        <translation>Die Dateityp-Registrierung wurde entfernt und die Einstellungsdatei (falls vorhanden) gelöscht.</translation>
    </message>
    <message>
        <source>Not all of the file type registration (or the settings file) could be removed.</source>
        <translation>Die Dateityp-Registrierung (oder die Einstellungsdatei) konnte nicht ganz entfernt werden.</translation>
    </message>
    <message>
        <source>%1 is larger than %L2 MB, too large to be this program&apos;s settings file. It was not read and will be left as it is; the program starts with its default settings.</source>
        <translation>%1 ist größer als %L2 MB, zu groß für die Einstellungsdatei dieses Programms. Sie wurde nicht gelesen und bleibt, wie sie ist; das Programm startet mit seinen Standardeinstellungen.</translation>
    </message>
</context>
<context>
    <name>DialogButtons</name>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>No error occurred.</source>
        <translation>Es ist kein Fehler aufgetreten.</translation>
    </message>
    <message>
        <source>An unknown error occurred while accessing %1.</source>
        <translation>Beim Zugriff auf %1 ist ein unbekannter Fehler aufgetreten.</translation>
    </message>
    <message>
        <source>%1 was not found.</source>
        <translation>%1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>%1 contains an invalid path.</source>
        <translation>%1 enthält einen ungültigen Pfad.</translation>
    </message>
    <message>
        <source>%1 could not be opened because there are too many open files.</source>
        <translation>%1 konnte nicht geöffnet werden, weil zu viele Dateien geöffnet sind.</translation>
    </message>
    <message>
        <source>Access to %1 was denied.</source>
        <translation>Der Zugriff auf %1 wurde verweigert.</translation>
    </message>
    <message>
        <source>An invalid file handle was associated with %1.</source>
        <translation>Mit %1 war ein ungültiges Datei-Handle verbunden.</translation>
    </message>
    <message>
        <source>%1 could not be removed because it is the current directory.</source>
        <translation>%1 konnte nicht entfernt werden, weil es der aktuelle Ordner ist.</translation>
    </message>
    <message>
        <source>%1 could not be created because the directory is full.</source>
        <translation>%1 konnte nicht angelegt werden, weil der Ordner voll ist.</translation>
    </message>
    <message>
        <source>Seek failed on %1</source>
        <translation>Positionieren in %1 ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>A hardware I/O error was reported while accessing %1.</source>
        <translation>Beim Zugriff auf %1 wurde ein Hardware-Ein-/Ausgabefehler gemeldet.</translation>
    </message>
    <message>
        <source>A sharing violation occurred while accessing %1.</source>
        <translation>Beim Zugriff auf %1 ist eine Freigabeverletzung aufgetreten.</translation>
    </message>
    <message>
        <source>A locking violation occurred while accessing %1.</source>
        <translation>Beim Zugriff auf %1 ist eine Sperrverletzung aufgetreten.</translation>
    </message>
    <message>
        <source>Disk full while accessing %1.</source>
        <translation>Der Datenträger war beim Zugriff auf %1 voll.</translation>
    </message>
    <message>
        <source>An attempt was made to access %1 past its end.</source>
        <translation>Es wurde versucht, über das Ende von %1 hinaus zuzugreifen.</translation>
    </message>
    <message>
        <source>Unexpected file format.</source>
        <translation>Unerwartetes Dateiformat.</translation>
    </message>
    <message>
        <source>Failed to open document.</source>
        <translation>Das Projekt konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Failed to save document.</source>
        <translation>Das Projekt konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>%1 is the project itself; the page was not written over it.</source>
        <translation>%1 ist das Projekt selbst; die Seite wurde nicht darüber geschrieben.</translation>
    </message>
</context>
<context>
    <name>FontDialog</name>
    <message>
        <source>Regular</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Fett</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Kursiv</translation>
    </message>
    <message>
        <source>Bold Italic</source>
        <translation>Fett kursiv</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schriftart</translation>
    </message>
    <message>
        <source>&amp;Font:</source>
        <translation>&amp;Schriftart:</translation>
    </message>
    <message>
        <source>Font St&amp;yle:</source>
        <translation>Schriftst&amp;il:</translation>
    </message>
    <message>
        <source>Co&amp;lor:</source>
        <translation>&amp;Farbe:</translation>
    </message>
    <message>
        <source>Font Style</source>
        <translation>Schriftstil</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Beispiel</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Kastanienbraun</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>Oliv</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>Marineblau</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Violett</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Blaugrün</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Silber</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Hellgrün</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Fuchsia</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Cyan</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Weiß</translation>
    </message>
</context>
<context>
    <name>GroupDialog</name>
    <message>
        <source>Group Properties</source>
        <translation>Gruppeneigenschaften</translation>
    </message>
    <message>
        <source>&amp;Font...</source>
        <translation>&amp;Schriftart...</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Titel:</translation>
    </message>
    <message>
        <source>Bullet &amp;Image:</source>
        <translation>Aufzählungs&amp;bild:</translation>
    </message>
</context>
<context>
    <name>ImageFilters</name>
    <message>
        <source>Images (*.png *.jpg *.jpeg *.gif *.svg *.webp *.bmp)</source>
        <translation>Bilder (*.png *.jpg *.jpeg *.gif *.svg *.webp *.bmp)</translation>
    </message>
    <message>
        <source>GIF (*.gif)</source>
        <translation>GIF (*.gif)</translation>
    </message>
    <message>
        <source>JPEG (*.jpg,*.jpeg)</source>
        <translation>JPEG (*.jpg,*.jpeg)</translation>
    </message>
    <message>
        <source>Windows Bitmap (*.bmp)</source>
        <translation>Windows-Bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>All (*.*)</source>
        <translation>Alle (*.*)</translation>
    </message>
</context>
<context>
    <name>LinkCheckSession</name>
    <message>
        <source>Checked %1 of %2</source>
        <translation>%1 von %2 geprüft</translation>
    </message>
    <message>
        <source>Link check cancelled: %1.</source>
        <translation>Linkprüfung abgebrochen: %1.</translation>
    </message>
    <message>
        <source>No duplicate links.</source>
        <translation>Keine doppelten Links.</translation>
    </message>
    <message>
        <source>%1 links in %2 sets of duplicates.</source>
        <translation>%1 Links in %2 Sätzen doppelter Links.</translation>
    </message>
    <message>
        <source>Link check finished. %1</source>
        <translation>Linkprüfung beendet. %1</translation>
    </message>
</context>
<context>
    <name>LinkCheckWindow</name>
    <message>
        <source>updated</source>
        <translation>aktualisiert</translation>
    </message>
    <message>
        <source>changed since the check</source>
        <translation>seit der Prüfung geändert</translation>
    </message>
    <message>
        <source>Update Link to Final URL</source>
        <translation>Link auf Ziel-URL aktualisieren</translation>
    </message>
    <message>
        <source>Update %1 Links to Final URL</source>
        <translation>%1 Links auf Ziel-URL aktualisieren</translation>
    </message>
    <message>
        <source>1 link updated to its final URL.</source>
        <translation>1 Link auf seine Ziel-URL aktualisiert.</translation>
    </message>
    <message>
        <source>%1 links updated to their final URLs.</source>
        <translation>%1 Links auf ihre Ziel-URLs aktualisiert.</translation>
    </message>
    <message>
        <source>Delete Link</source>
        <translation>Link löschen</translation>
    </message>
    <message>
        <source>Delete %1 Links</source>
        <translation>%1 Links löschen</translation>
    </message>
    <message>
        <source>1 link deleted.</source>
        <translation>1 Link gelöscht.</translation>
    </message>
    <message>
        <source>%1 links deleted.</source>
        <translation>%1 Links gelöscht.</translation>
    </message>
    <message>
        <source>1 link whose address changed since the check was left alone.</source>
        <translation>1 Link, dessen Adresse sich seit der Prüfung geändert hat, blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 links whose addresses changed since the check were left alone.</source>
        <translation>%1 Links, deren Adressen sich seit der Prüfung geändert haben, blieben unverändert.</translation>
    </message>
</context>
<context>
    <name>LinkCommands</name>
    <message>
        <source>Add Link</source>
        <translation>Link hinzufügen</translation>
    </message>
    <message>
        <source>Add %1 Links</source>
        <translation>%1 Links hinzufügen</translation>
    </message>
    <message>
        <source>Drop Link</source>
        <translation>Link ablegen</translation>
    </message>
    <message>
        <source>Drop %1 Links</source>
        <translation>%1 Links ablegen</translation>
    </message>
    <message>
        <source>Delete Link</source>
        <translation>Link löschen</translation>
    </message>
    <message>
        <source>Delete %1 Links</source>
        <translation>%1 Links löschen</translation>
    </message>
    <message>
        <source>Cut Link</source>
        <translation>Link ausschneiden</translation>
    </message>
    <message>
        <source>Cut %1 Links</source>
        <translation>%1 Links ausschneiden</translation>
    </message>
    <message>
        <source>Paste Link</source>
        <translation>Link einfügen</translation>
    </message>
    <message>
        <source>Paste %1 Links</source>
        <translation>%1 Links einfügen</translation>
    </message>
    <message>
        <source>Link Properties</source>
        <translation>Linkeigenschaften</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Move Link</source>
        <translation>Link verschieben</translation>
    </message>
    <message>
        <source>Title Font</source>
        <translation>Schriftart des Titels</translation>
    </message>
    <message>
        <source>Page Colors</source>
        <translation>Seitenfarben</translation>
    </message>
    <message>
        <source>Page Style</source>
        <translation>Seitenstil</translation>
    </message>
</context>
<context>
    <name>LinkDialog</name>
    <message>
        <source>Link Entry Properties</source>
        <translation>Linkeigenschaften</translation>
    </message>
    <message>
        <source>&amp;Description:</source>
        <translation>&amp;Beschreibung:</translation>
    </message>
    <message>
        <source>&amp;URL:</source>
        <translation>&amp;URL:</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Page St&amp;yle...</source>
        <translation>Seiten&amp;stil...</translation>
    </message>
    <message>
        <source>Choose the classic page or the modern one, with its theme, filter and icons
Page Style</source>
        <translation>Die klassische oder die moderne Seite wählen, mit Farbschema, Filter und Symbolen
Seitenstil</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Create a new project
New Project</source>
        <translation>Ein neues Projekt anlegen
Neues Projekt</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Open an existing Project
Open Project</source>
        <translation>Ein vorhandenes Projekt öffnen
Projekt öffnen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save the current project
Save Project</source>
        <translation>Das aktuelle Projekt speichern
Projekt speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Save the active document with a new name
Save As</source>
        <translation>Das Projekt unter einem neuen Namen speichern
Speichern unter</translation>
    </message>
    <message>
        <source>&amp;Import Bookmarks...</source>
        <translation>Lesezeichen &amp;importieren...</translation>
    </message>
    <message>
        <source>Import a browser&apos;s bookmarks into the groups
Import Bookmarks</source>
        <translation>Die Lesezeichen eines Browsers in die Gruppen übernehmen
Lesezeichen importieren</translation>
    </message>
    <message>
        <source>&amp;Export Bookmarks...</source>
        <translation>Lesezeichen &amp;exportieren...</translation>
    </message>
    <message>
        <source>Save the groups as a bookmark file for browsers
Export Bookmarks</source>
        <translation>Die Gruppen als Lesezeichendatei für Browser speichern
Lesezeichen exportieren</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>Zuletzt geöffnete Datei</translation>
    </message>
    <message>
        <source>Open this document</source>
        <translation>Dieses Projekt öffnen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save documents
Exit</source>
        <translation>Das Programm beenden; fragt, ob Änderungen gespeichert werden sollen
Beenden</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Undo the last change
Undo</source>
        <translation>Die letzte Änderung zurücknehmen
Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Do the change undone last again
Redo</source>
        <translation>Die zuletzt zurückgenommene Änderung wiederholen
Wiederholen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Cut the selection and put it on the Clipboard
Cut</source>
        <translation>Die Auswahl ausschneiden und in die Zwischenablage legen
Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy current group&apos;s URLs to the clipboard
Copy URLs</source>
        <translation>Die URLs der aktuellen Gruppe in die Zwischenablage kopieren
URLs kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Insert URLs in the Clipboard into the current group
Paste URLs</source>
        <translation>URLs aus der Zwischenablage in die aktuelle Gruppe einfügen
URLs einfügen</translation>
    </message>
    <message>
        <source>&amp;Delete	Del</source>
        <translation>&amp;Löschen	Entf</translation>
    </message>
    <message>
        <source>Remove an entry from the list of links
Delete Link</source>
        <translation>Einen Eintrag aus der Linkliste entfernen
Link löschen</translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation>&amp;Hinzufügen...</translation>
    </message>
    <message>
        <source>Add an entry to the list of links
Add Link</source>
        <translation>Einen Eintrag zur Linkliste hinzufügen
Link hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Group Properties</source>
        <translation>&amp;Gruppeneigenschaften</translation>
    </message>
    <message>
        <source>Configure the properties for the current group.</source>
        <translation>Die Eigenschaften der aktuellen Gruppe festlegen.</translation>
    </message>
    <message>
        <source>&amp;Link Properties</source>
        <translation>Li&amp;nkeigenschaften</translation>
    </message>
    <message>
        <source>Configure properties for the current link.</source>
        <translation>Die Eigenschaften des aktuellen Links festlegen.</translation>
    </message>
    <message>
        <source>&amp;Generate...</source>
        <translation>&amp;Erzeugen...</translation>
    </message>
    <message>
        <source>Generate a new start page
Generate Start Page</source>
        <translation>Eine neue Startseite erzeugen
Startseite erzeugen</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Vorschau</translation>
    </message>
    <message>
        <source>Preview a sample of the current start page
Preview Start Page</source>
        <translation>Die aktuelle Startseite in der Vorschau zeigen
Vorschau der Startseite</translation>
    </message>
    <message>
        <source>&amp;Check Links</source>
        <translation>Links &amp;prüfen</translation>
    </message>
    <message>
        <source>Ask the servers of every link whether the pages are still there
Check Links</source>
        <translation>Die Server aller Links fragen, ob die Seiten noch da sind
Links prüfen</translation>
    </message>
    <message>
        <source>Find &amp;Duplicate Links</source>
        <translation>&amp;Doppelte Links finden</translation>
    </message>
    <message>
        <source>List the links that lead to the same place
Find Duplicate Links</source>
        <translation>Die Links auflisten, die zum selben Ziel führen
Doppelte Links finden</translation>
    </message>
    <message>
        <source>Show &amp;Last Link Check</source>
        <translation>&amp;Letzte Linkprüfung zeigen</translation>
    </message>
    <message>
        <source>Open the results of the last link check again
Show Last Link Check</source>
        <translation>Die Ergebnisse der letzten Linkprüfung wieder öffnen
Letzte Linkprüfung zeigen</translation>
    </message>
    <message>
        <source>Cancel Link Check</source>
        <translation>Linkprüfung abbrechen</translation>
    </message>
    <message>
        <source>Stop the link check</source>
        <translation>Die Linkprüfung anhalten</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Display help file contents
Help Contents</source>
        <translation>Den Inhalt der Hilfe zeigen
Hilfe</translation>
    </message>
    <message>
        <source>Open &amp;Example Project</source>
        <translation>&amp;Beispielprojekt öffnen</translation>
    </message>
    <message>
        <source>Open a copy of the example project as a new project</source>
        <translation>Eine Kopie des Beispielprojekts als neues Projekt öffnen</translation>
    </message>
    <message>
        <source>&amp;About Linkfold...</source>
        <translation>&amp;Über Linkfold...</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright
About</source>
        <translation>Programminformation, Versionsnummer und Copyright zeigen
Über</translation>
    </message>
    <message>
        <source>Next Pane</source>
        <translation>Nächster Bereich</translation>
    </message>
    <message>
        <source>Previous Pane</source>
        <translation>Vorheriger Bereich</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Menu Bar</source>
        <translation>Menüleiste</translation>
    </message>
    <message>
        <source>&amp;Project</source>
        <translation>&amp;Projekt</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Page</source>
        <translation>&amp;Seite</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>CAP</source>
        <translation>UF</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>SCRL</source>
        <translation>ROLLEN</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Wiederholen: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>The example project was not found.</source>
        <translation>Das Beispielprojekt wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Import Bookmarks</source>
        <translation>Lesezeichen importieren</translation>
    </message>
    <message>
        <source>Imported: %1.</source>
        <translation>Importiert: %1.</translation>
    </message>
    <message>
        <source>Export Bookmarks</source>
        <translation>Lesezeichen exportieren</translation>
    </message>
    <message>
        <source>Bookmark HTML (*.html)</source>
        <translation>Lesezeichen-HTML (*.html)</translation>
    </message>
    <message>
        <source>XBEL (*.xbel)</source>
        <translation>XBEL (*.xbel)</translation>
    </message>
    <message>
        <source>%1 is the project itself; the bookmarks were not written over it.</source>
        <translation>%1 ist das Projekt selbst; die Lesezeichen wurden nicht darüber geschrieben.</translation>
    </message>
</context>
<context>
    <name>PageColorsDialog</name>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>&amp;Background:</source>
        <translation>Hinter&amp;grund:</translation>
    </message>
    <message>
        <source>&amp;Unvisited Links:</source>
        <translation>&amp;Nicht besuchte Links:</translation>
    </message>
    <message>
        <source>&amp;Visited Links:</source>
        <translation>&amp;Besuchte Links:</translation>
    </message>
</context>
<context>
    <name>PageCommands</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 gibt es schon.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Select Page Name</source>
        <translation>Name der Seite wählen</translation>
    </message>
    <message>
        <source>HTML (*.htm)</source>
        <translation>HTML (*.htm)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Would you like to view the new page in your browser?</source>
        <translation>Möchten Sie die neue Seite in Ihrem Browser ansehen?</translation>
    </message>
</context>
<context>
    <name>PageStyleDialog</name>
    <message>
        <source>Page Style</source>
        <translation>Seitenstil</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Stil</translation>
    </message>
    <message>
        <source>&amp;Modern: cards that fit any window, dark mode, type to filter</source>
        <translation>&amp;Modern: Karten für jede Fenstergröße, dunkler Modus, Filtern beim Tippen</translation>
    </message>
    <message>
        <source>Modern page</source>
        <translation>Moderne Seite</translation>
    </message>
    <message>
        <source>Follow the system</source>
        <translation>Wie das System</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Hell</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dunkel</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>Farbschema</translation>
    </message>
    <message>
        <source>&amp;Filter box (type or press / to find a link)</source>
        <translation>&amp;Filterfeld (tippen oder / drücken, um einen Link zu finden)</translation>
    </message>
    <message>
        <source>none: nothing leaves your computer</source>
        <translation>keine: nichts verlässt Ihren Computer</translation>
    </message>
    <message>
        <source>Web search</source>
        <translation>Websuche</translation>
    </message>
    <message>
        <source>The address of a web search, with %s where the words go; used when no link matches</source>
        <translation>Die Adresse einer Websuche, mit %s an der Stelle der Suchwörter; gilt, wenn kein Link passt</translation>
    </message>
    <message>
        <source>&amp;Icons from your browsers</source>
        <translation>S&amp;ymbole aus Ihren Browsern</translation>
    </message>
    <message>
        <source>&amp;Theme:</source>
        <translation>Farb&amp;schema:</translation>
    </message>
    <message>
        <source>&amp;Web search:</source>
        <translation>&amp;Websuche:</translation>
    </message>
    <message>
        <source>An address with %s where the words go, for text no link matches.</source>
        <translation>Eine Adresse mit %s an der Stelle der Suchwörter, für Text, zu dem kein Link passt.</translation>
    </message>
    <message>
        <source>The web search address needs %s where the words go.</source>
        <translation>Die Adresse der Websuche braucht %s an der Stelle der Suchwörter.</translation>
    </message>
    <message>
        <source>C&amp;lassic: the table page, 800 pixels wide</source>
        <translation>&amp;Klassisch: die Tabellenseite, 800 Pixel breit</translation>
    </message>
</context>
<context>
    <name>ProjectCommands</name>
    <message>
        <source>Move Link to Group %1</source>
        <translation>Link in Gruppe %1 verschieben</translation>
    </message>
    <message>
        <source>Move Links to Group %1</source>
        <translation>Links in Gruppe %1 verschieben</translation>
    </message>
    <message>
        <source>Group Properties</source>
        <translation>Gruppeneigenschaften</translation>
    </message>
</context>
<context>
    <name>ProjectFileController</name>
    <message>
        <source>Linkfold Files (*.lfp)</source>
        <translation>Linkfold-Dateien (*.lfp)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>The extra page settings could not be read.</source>
        <translation>Die zusätzlichen Seiteneinstellungen konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
</context>
<context>
    <name>ProjectForm</name>
    <message>
        <source>Page</source>
        <translation>Seite</translation>
    </message>
    <message>
        <source>URL Groups</source>
        <translation>URL-Gruppen</translation>
    </message>
    <message>
        <source>Title:</source>
        <translation>Titel:</translation>
    </message>
    <message>
        <source>Image at Top:</source>
        <translation>Bild oben:</translation>
    </message>
    <message>
        <source># Columns:</source>
        <translation>Spalten:</translation>
    </message>
    <message>
        <source>Subtitle</source>
        <translation>Untertitel</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schriftart</translation>
    </message>
    <message>
        <source>Title font</source>
        <translation>Schriftart des Titels</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Suchen...</translation>
    </message>
    <message>
        <source>Browse for the image at top</source>
        <translation>Das Bild oben suchen</translation>
    </message>
    <message>
        <source>URL Group Borders</source>
        <translation>Gruppenrahmen</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Properties...</source>
        <translation>Eigenschaften...</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Group %1</source>
        <translation>Gruppe %1</translation>
    </message>
    <message>
        <source>Group %1: %2</source>
        <translation>Gruppe %1: %2</translation>
    </message>
    <message>
        <source>Links of group %1</source>
        <translation>Links der Gruppe %1</translation>
    </message>
    <message>
        <source>Properties of group %1</source>
        <translation>Eigenschaften der Gruppe %1</translation>
    </message>
    <message>
        <source>Please enter no more than %1 characters.</source>
        <translation>Bitte geben Sie nicht mehr als %1 Zeichen ein.</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte geben Sie eine ganze Zahl ein.</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen %1 und %2 ein.</translation>
    </message>
    <message>
        <source>Typing in Title</source>
        <translation>Eingabe im Titel</translation>
    </message>
    <message>
        <source>Typing in Subtitle</source>
        <translation>Eingabe im Untertitel</translation>
    </message>
    <message>
        <source>Typing in Image at Top</source>
        <translation>Eingabe in Bild oben</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>Spalten</translation>
    </message>
</context>
<context>
    <name>UiServices</name>
    <message>
        <source>No web browser could be started to show %1.
Install a web browser or choose your default one in the desktop&apos;s settings.</source>
        <translation>Es konnte kein Webbrowser gestartet werden, um %1 zu zeigen.
Installieren Sie einen Webbrowser oder wählen Sie Ihren Standardbrowser in den Einstellungen des Desktops.</translation>
    </message>
</context>
<context>
    <name>help</name>
    <message>
        <source>The help pages were not found.</source>
        <translation>Die Hilfeseiten wurden nicht gefunden.</translation>
    </message>
</context>
</TS>
