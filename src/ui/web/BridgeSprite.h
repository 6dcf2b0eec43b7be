// The movie clip that lets the host reach the variables of the interface movie while it
// plays in a player without SetVariable and GetVariable: added to a copy of the movie, it
// polls the host for the variables to set and answers the host's reads by FSCommand.
#pragma once

#include <string>

#include "common/Bytes.h"
#include "common/Result.h"

namespace tarvenox::web {

// What the clip's actions do in every frame, at the movie's own frame rate:
//   1. when an answer has come ("ready"), for j = 1..n the variable named kj is set to vj
//      on _level0 (the host's names are relative to the main timeline), unless its
//      number sj is at or below done (an answer to an earlier poll brought it); then
//      done = max(done, l); then for j = 1..rn the variable named rj of _level0 is read
//      and sent back as fscommand(bridgeAnswerCommand, ij + ":" + value), an undefined
//      one as "";
//   2. unless a poll is out (for fewer than a few seconds' frames), it polls:
//      loadVariables(pollUrl + "?after=" + done) into the clip itself.
// So a poll follows its predecessor's answer within a frame, and no more than one is out
// while the host is slow. The actions are those of version 5 and older.
inline constexpr const char* bridgeAnswerCommand = "tarvenox.answer";

// Whether the clip answers the host's reads (step 1's FSCommand part). A template's
// player passes no FSCommand on: its clip only sets what the host queued.
enum class BridgeReads { answered, none };

// The movie with the clip defined and placed in its first frame, at a depth its main
// timeline does not use, under a character id it does not use; every other tag as it
// was, the header's frame rate and count unchanged, uncompressed. A failure with the
// reason when the movie cannot be read completely, is older than version 5 or has no
// character id or depth left.
Result<Bytes> addBridgeSprite(ByteSpan movie, const std::string& name, const std::string& pollUrl,
                              BridgeReads reads = BridgeReads::answered);

// The instance name the clip is placed under.
inline constexpr const char* bridgeSpriteName = "tarvenoxBridge";

}  // namespace tarvenox::web
