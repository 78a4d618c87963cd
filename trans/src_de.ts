<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutWindow</name>
    <message>
        <source>www.lexigrove.example</source>
        <translation>www.lexigrove.example</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;Arial&apos;; font-size:10pt; font-weight:400; font-style:normal; text-decoration:none;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt;&quot;&gt;Lexigrove is a small tool that gathers keywords from several search engines. By default it draws on its own association service on this computer, built on open German word data.&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt;&quot;&gt;If you need a more thorough tool for keyword research, have a look at our bigger keyword&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt;&quot;&gt;program, which you will find at www.lexigrove.example.&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt;&quot;&gt;Copyright (C) 2026 www.lexigrove.example&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;Arial&apos;; font-size:10pt; font-weight:400; font-style:normal; text-decoration:none;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt;&quot;&gt;Lexigrove ist ein kleines Werkzeug, das Stichwörter aus mehreren Suchmaschinen zusammenträgt. Standardmäßig greift es auf seinen eigenen Assoziationsdienst auf diesem Rechner zurück, der auf freien deutschen Wortdaten beruht.&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt;&quot;&gt;Wer ein gründlicheres Werkzeug für die Stichwortrecherche sucht, findet unser umfangreicheres&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt;&quot;&gt;Stichwortprogramm unter www.lexigrove.example.&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt;&quot;&gt;Copyright (C) 2026 www.lexigrove.example&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>DataDirectory</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>The program&apos;s folder %1 cannot be written (%2), so default_blacklist.txt and tmp.txt are kept in %3.</source>
        <translation>In den Ordner des Programms %1 kann nicht geschrieben werden (%2), darum liegen default_blacklist.txt und tmp.txt in %3.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1 for default_blacklist.txt and tmp.txt: %2</source>
        <translation>Der Ordner %1 für default_blacklist.txt und tmp.txt kann nicht angelegt werden: %2</translation>
    </message>
</context>
<context>
    <name>FormBlacklist</name>
    <message>
        <source>Blacklist Editor</source>
        <translation>Sperrliste bearbeiten</translation>
    </message>
    <message>
        <source>Default BlackList(Separated by Comma!)</source>
        <translation>Gemeinsame Sperrliste (durch Kommas getrennt!)</translation>
    </message>
</context>
<context>
    <name>HttpClient</name>
    <message>
        <source>Request aborted</source>
        <translation>Anfrage abgebrochen</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>No host set</source>
        <translation>Kein Server angegeben</translation>
    </message>
    <message>
        <source>Could not write the response body to its device</source>
        <translation>Die Antwort konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>Wrong content length</source>
        <translation>Falsche Inhaltslänge</translation>
    </message>
    <message>
        <source>Connection refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>Host %1 not found</source>
        <translation>Server %1 nicht gefunden</translation>
    </message>
    <message>
        <source>Connection closed unexpectedly</source>
        <translation>Verbindung unerwartet geschlossen</translation>
    </message>
    <message>
        <source>Transfer timed out: nothing received for %1 ms</source>
        <translation>Zeitüberschreitung: %1 ms lang nichts empfangen</translation>
    </message>
    <message>
        <source>Invalid HTTP response header</source>
        <translation>Ungültiger Kopf der HTTP-Antwort</translation>
    </message>
</context>
<context>
    <name>IOFunc</name>
    <message>
        <source>Cannot open file %1 for reading</source>
        <translation>Die Datei %1 kann nicht zum Lesen geöffnet werden</translation>
    </message>
    <message>
        <source>Cannot open file %1 for writing</source>
        <translation>Die Datei %1 kann nicht zum Schreiben geöffnet werden</translation>
    </message>
    <message>
        <source>Error writing to file %1</source>
        <translation>Fehler beim Schreiben der Datei %1</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Error reading file %1</source>
        <translation>Fehler beim Lesen der Datei %1</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>www.lexigrove.example - Lexigrove</source>
        <translation>www.lexigrove.example - Lexigrove</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>Start &amp;Search</source>
        <translation>&amp;Suche starten</translation>
    </message>
    <message>
        <source>Keywords</source>
        <translation>Stichwörter</translation>
    </message>
    <message>
        <source>Quantity:</source>
        <translation>Anzahl:</translation>
    </message>
    <message>
        <source>Blacklist(Separated by Comma!)</source>
        <translation>Sperrliste (durch Kommas getrennt!)</translation>
    </message>
    <message>
        <source>Include common Badword List</source>
        <translation>Gemeinsame Sperrliste anwenden</translation>
    </message>
    <message>
        <source>Search Term</source>
        <translation>Suchbegriff</translation>
    </message>
    <message>
        <source>Filter: Search Term</source>
        <translation>Filter: Suchbegriff</translation>
    </message>
    <message>
        <source>Filter: Double</source>
        <translation>Filter: Doppelte</translation>
    </message>
    <message>
        <source>Keywords Quantitiy</source>
        <translation>Anzahl der Stichwörter</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Über Lexigrove</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Please enter a keyword first...</source>
        <translation>Bitte geben Sie zuerst ein Stichwort ein...</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>An error occured..
Please check your internet connection and try again...</source>
        <translation>Es ist ein Fehler aufgetreten..
Bitte prüfen Sie Ihre Verbindung und versuchen Sie es noch einmal...</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>The common list %1 is too large to edit here (%2; the editor opens lists of up to %3).</source>
        <translation>Die gemeinsame Sperrliste %1 ist zu groß, um sie hier zu bearbeiten (%2; der Editor öffnet Listen bis %3).</translation>
    </message>
    <message>
        <source>The association service address %1 (LEXIGROVE_SERVICE_URL) cannot be used: %2.</source>
        <translation>Die Adresse des Assoziationsdienstes %1 (LEXIGROVE_SERVICE_URL) kann nicht verwendet werden: %2.</translation>
    </message>
    <message>
        <source>only http is supported</source>
        <translation>nur http wird unterstützt</translation>
    </message>
    <message>
        <source>it is not a valid address</source>
        <translation>sie ist keine gültige Adresse</translation>
    </message>
</context>
<context>
    <name>QAbstractSpinBox</name>
    <message>
        <source>&amp;Select All</source>
        <translation>Alles a&amp;uswählen</translation>
    </message>
    <message>
        <source>&amp;Step up</source>
        <translation>&amp;Erhöhen</translation>
    </message>
    <message>
        <source>Step &amp;down</source>
        <translation>&amp;Verringern</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Einf&amp;ügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>QWidgetTextControl</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;Link Location</source>
        <translation>&amp;Linkadresse kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Einf&amp;ügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>The association service did not start, so searches will fail until one answers:

%1</source>
        <translation>Der Assoziationsdienst ist nicht gestartet; bis einer antwortet, schlagen Suchen fehl:

%1</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
</context>
<context>
    <name>WaitWindow</name>
    <message>
        <source>www.lexigrove.example</source>
        <translation>www.lexigrove.example</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Searching for Keyword:</source>
        <translation>Suche nach Stichwort:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
</context>
</TS>
