// The save of a template with typed changes, as the interactive program saves it.
#pragma once

#include "common/Report.h"
#include "publish/MovieChanges.h"

namespace tarvenox {

class EditSession;

// In a session just started on the installation: selects changes.templateName, records
// every change through the recording operations, saves the working copy and copies it to
// changes.output (uncompressed when asked), then writes the web page with changes.html.
// Fails, with one line, when the template, a change or the output cannot be used; nothing
// is written then, except a movie whose page could not be. The notes of a save that
// worked tell what it went on after, such as characters a new font lacks.
Report saveTemplate(EditSession& session, const MovieChanges& changes);

}  // namespace tarvenox
