#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/HostPoint.h"

namespace driver {

// One object of the simulated host's document dump: its kind word ("point", "line",
// "polyline", "curve"), its points (the point itself, the vertices, or the through-points of
// an interpolated curve), its id and whether it is selected.
struct HostObject {
    std::string kind;
    std::vector<common::HostPoint> points;
    std::string id;
    bool selected = false;
};

// The document as the host's control object dumps it: "redraw on|off", then one line per
// object in the order the objects were added.
struct HostDocument {
    bool redrawOn = true;
    std::vector<HostObject> objects;

    // Reads a dump; throws std::invalid_argument naming the line it cannot read.
    static HostDocument Parse(std::string_view text);

    // The object with this id (letter case ignored), or null.
    const HostObject* Find(std::string_view id) const;
    // Objects of one kind, in document order.
    std::vector<const HostObject*> OfKind(std::string_view kind) const;
    // Objects whose id `before` does not hold, in document order.
    std::vector<const HostObject*> AddedSince(const HostDocument& before) const;
    std::vector<std::string> SelectedIds() const;
};

// One call of the host's call log: the operation and its argument texts as logged
// ("String \"id\"", "Double 2.5", "Array[0:3]{...}"), and the host's note on why it answered
// as it did, where it wrote one (a refused scripted pick).
struct LoggedCall {
    std::string operation;
    std::vector<std::string> arguments;
    std::string note;
};

// Splits the call log text into its calls; arguments are split at the top-level ", ", a note
// follows the call after " # ".
std::vector<LoggedCall> ParseCallLog(std::string_view text);
// The operation names in order.
std::vector<std::string> OperationsOf(const std::vector<LoggedCall>& calls);
// The text of a logged String argument without its quotes and escapes; nothing when the
// argument is not a String.
std::optional<std::string> StringArgument(std::string_view argument);

// Ids compared as the host compares them: letter case ignored.
bool SameId(std::string_view a, std::string_view b);

}  // namespace driver
