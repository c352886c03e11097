#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/ConstructionPlane.h"
#include "hostsim/model/Vec3.h"

namespace hostsim {

// The host's result codes of a command, as LastCommandResult answers them.
enum class CommandResult { Success = 0, Cancel = 1, Nothing = 2, Failure = 3, UnknownCommand = 4 };

// What the command line reads typed text against.
struct CommandContext {
    // The active viewport's construction plane: "x,y,z" is read in it.
    ConstructionPlane plane = StandardPlane(ViewKind::Top);
    // An English host also knows its command names and keywords without the leading "_";
    // a host in any other language knows only "_" + the English name.
    bool english = true;
};

// One command text as the command line took it.
struct CommandReading {
    // Success: the name, the points and "Enter" were read. UnknownCommand: the first word names
    // no command. Cancel: a later word is no point and no keyword, or the text ends before
    // "Enter"; the command is left waiting, and the end of the script cancels it.
    CommandResult result = CommandResult::Success;
    // The points read, in world coordinates (there may be fewer than two).
    std::vector<Vec3> points;
    // The word the command line did not know, for its "Unknown command" line; empty for none.
    std::string unknownWord;
};

// Reads the scripted interpolated-curve command: the name "InterpCrv" in any letter case
// after any leading "-" and "_" marks (in a language other than English one of them must be
// "_"), then points separated by blanks (spaces, tabs, line feeds), then "Enter" ("_Enter";
// plain "Enter" only in English), after which only blanks may follow. A point is "x,y,z" or
// "x,y" (z = 0) in the context's construction plane, or the same behind "w" (or "W") in world
// coordinates. Linear in the length of the text.
CommandReading ReadInterpCrvCommand(std::string_view text, const CommandContext& context);

// The points of a command text that an English host with the Top viewport active reads
// through to its end, or nothing when it does not.
std::optional<std::vector<Vec3>> ParseInterpCrvCommand(std::string_view text);

}  // namespace hostsim
