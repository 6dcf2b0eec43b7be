// A small installation for tests: configuration texts and template movies on disk and
// in "files.db".
#pragma once

#include <string>

#include "common/Bytes.h"

namespace tarvenox::test {

class TempDir;

// A template movie: background #102030; DefineFont2 "Title" (id 1, empty glyphs);
// bitmap 2 (10 x 10) exported as "logo" and shown by DefineShape 3; bitmap 4 (8 x 8)
// exported as "Back"; DefineSound 5 exported as "music"; a DoAction that stops.
Bytes templateMovie();

// Writes an installation into dir:
// - "card": swf/card.swf on disk, offered by the list "movies" as "Visiten+karte";
//   configs.txt declares title (s, "Hallo"), count (i, "3") and shown (b, "true").
// - "extra\poster": the same movie inside files.db, offered by no list; configs.txt
//   declares headline (s, "Sale") for its base name "poster".
// - a list "fonts" whose entry names no template.
void writeInstallation(const TempDir& dir);

}  // namespace tarvenox::test
