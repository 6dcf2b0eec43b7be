// The page's own words (buttons and labels of its dialogs), in the browser's language
// where the page knows it, as a desktop's dialogs follow the system's language.

const words = {
  en: {
    ok: "OK", cancel: "Cancel", yes: "Yes", no: "No", retry: "Retry",
    basicColors: "Basic colours", customColors: "Custom colours", addCustom: "Add to custom colours",
    hex: "Hex", hue: "Hue", shade: "Shade", chooseColor: "Colour",
    font: "Font", search: "Search", bold: "Bold", italic: "Italic", size: "Size", points: "pt",
    sample: "AaBbYyZz 0123", noFaces: "No font matches.", chooseFont: "Font",
    path: "Folder", fileName: "File name", fileType: "Files of type", parent: "Up one folder",
    home: "Home folder", open: "Open", save: "Save", emptyFolder: "Nothing here matches.",
    replace: (name) => `${name} already exists. Do you want to replace it?`,
    unreadable: "This folder cannot be read:",
    notFound: (name) => `${name} was not found.`,
    ended: "Tarvenox has ended. You can close this tab.",
    replaced: "Tarvenox went on in another tab. You can close this one.",
    connecting: "Connecting to Tarvenox…",
    noHelp: "This installation has no help.",
    helpBlocked: "The browser did not open the help in a new tab.",
    openHelp: "Open the help",
  },
  de: {
    ok: "OK", cancel: "Abbrechen", yes: "Ja", no: "Nein", retry: "Wiederholen",
    basicColors: "Grundfarben", customColors: "Benutzerdefinierte Farben", addCustom: "Zu den benutzerdefinierten Farben",
    hex: "Hex", hue: "Farbton", shade: "Helligkeit", chooseColor: "Farbe",
    font: "Schriftart", search: "Suchen", bold: "Fett", italic: "Kursiv", size: "Größe", points: "pt",
    sample: "AaBbYyZz 0123", noFaces: "Keine Schriftart passt.", chooseFont: "Schriftart",
    path: "Ordner", fileName: "Dateiname", fileType: "Dateityp", parent: "Übergeordneter Ordner",
    home: "Persönlicher Ordner", open: "Öffnen", save: "Speichern", emptyFolder: "Hier passt nichts.",
    replace: (name) => `${name} ist bereits vorhanden. Möchten Sie sie ersetzen?`,
    unreadable: "Dieser Ordner kann nicht gelesen werden:",
    notFound: (name) => `${name} wurde nicht gefunden.`,
    ended: "Tarvenox wurde beendet. Sie können diesen Tab schließen.",
    replaced: "Tarvenox läuft in einem anderen Tab weiter. Sie können diesen schließen.",
    connecting: "Verbindung zu Tarvenox…",
    noHelp: "Diese Installation hat keine Hilfe.",
    helpBlocked: "Der Browser hat die Hilfe nicht in einem neuen Tab geöffnet.",
    openHelp: "Hilfe öffnen",
  },
};

const language = String(globalThis.navigator?.language ?? "en").slice(0, 2).toLowerCase();

export const label = words[language] ?? words.en;
