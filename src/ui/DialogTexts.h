// The interactive program's fixed texts for the user: captions, messages, dialog titles
// and file filters (UTF-8), in the run's language.
#pragma once

#include <string>

#include "common/Texts.h"

namespace tarvenox::texts {

// The product's name, the same in every language.
inline std::string caption() { return "Tarvenox"; }
inline std::string flashMissing() { return text("message.flashMissing"); }
inline std::string screenTooSmall() { return text("message.screenTooSmall"); }
inline std::string programNotFound() { return text("message.programNotFound"); }
// A save asked for before a template was chosen.
inline std::string noTemplateSelected() { return text("message.noTemplateSelected"); }
// A command that failed in a way the program did not foresee; the detail follows.
inline std::string commandFailed() { return text("message.commandFailed"); }
// "clicked quit" while a template has edits that were not saved (Yes ends the program).
inline std::string unsavedQuit() { return text("message.unsavedQuit"); }
// The interface movie did not give back the values typed into it: nothing was applied
// or saved, so nothing stale is written.
inline std::string valuesNotRead() { return text("message.valuesNotRead"); }

inline std::string saveTitle() { return text("dialog.save.title"); }
inline std::string saveFilter() { return text("dialog.save.filter"); }
// The same movie with a web page that plays it (NAME.swf, NAME.html, NAME_files/).
inline std::string webPageFilter() { return text("dialog.save.webPageFilter"); }
// The videos of the movie: one pass of its main timeline, as MP4 (with its sounds) or GIF.
inline std::string mp4Filter() { return text("dialog.save.mp4Filter"); }
inline std::string gifFilter() { return text("dialog.save.gifFilter"); }
// A video that could not be written; the reason follows on its own line.
inline std::string videoFailed() { return text("message.videoFailed"); }
inline std::string pictureTitle() { return text("dialog.picture.title"); }
inline std::string pictureFilter() { return text("dialog.picture.filter"); }
inline std::string soundTitle() { return text("dialog.sound.title"); }
inline std::string soundFilter() { return text("dialog.sound.filter"); }
// Opening a plain movie in place of the session's templates.
inline std::string openMovieTitle() { return text("dialog.movie.title"); }
inline std::string movieFilter() { return text("dialog.movie.filter"); }
inline std::string unsavedOpen() { return text("message.unsavedOpen"); }

}  // namespace tarvenox::texts
