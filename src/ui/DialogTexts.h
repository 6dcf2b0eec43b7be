// The interactive program's fixed texts for the user: captions, messages, dialog titles
// and file filters (UTF-8).
#pragma once

namespace tarvenox::texts {

inline constexpr const char* caption = "Tarvenox";
inline constexpr const char* flashMissing =
    "Das Flash 5 ActiveX-Control ist nicht installiert. Bitte führen Sie die Installation erneut aus.";
inline constexpr const char* screenTooSmall = "Es ist mindestens eine Auflösung von 800x600 erforderlich";
inline constexpr const char* programNotFound = "Programm nicht gefunden. CD eingelegt?";
// A save asked for before a template was chosen.
inline constexpr const char* noTemplateSelected = "Bitte wählen Sie zuerst eine Vorlage aus.";
// A command that failed in a way the program did not foresee; the detail follows.
inline constexpr const char* commandFailed = "Der Befehl konnte nicht ausgeführt werden:";
// "clicked quit" while a template has edits that were not saved (Yes ends the program).
inline constexpr const char* unsavedQuit = "Es gibt ungespeicherte Änderungen. Trotzdem beenden?";
// The interface movie did not give back the values typed into it: nothing was applied
// or saved, so nothing stale is written.
inline constexpr const char* valuesNotRead =
    "Die Eingaben konnten nicht aus der Oberfläche gelesen werden. Die Änderungen wurden nicht übernommen und "
    "nicht gespeichert. Bitte versuchen Sie es noch einmal.";

inline constexpr const char* saveTitle = "Flash-Datei speichern";
inline constexpr const char* saveFilter = "Flash-Datei";
// The same movie with a web page that plays it (NAME.swf, NAME.html, NAME_files/).
inline constexpr const char* webPageFilter = "Webseite mit Flash-Film (.html)";
inline constexpr const char* pictureTitle = "Bilddatei auswählen";
inline constexpr const char* pictureFilter = "Bilddateien (.png; .jpg; .jpeg)";
inline constexpr const char* soundTitle = "Musikdatei auswählen";
inline constexpr const char* soundFilter = "Musikdateien (.mp3)";
// Opening a plain movie in place of the session's templates.
inline constexpr const char* openMovieTitle = "Open a movie";
inline constexpr const char* movieFilter = "Flash movies";
inline constexpr const char* unsavedOpen = "There are unsaved changes. Open another movie all the same?";

}  // namespace tarvenox::texts
