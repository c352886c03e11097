#include "hostsim/model/CommandParser.h"

#include "hostsim/model/TextScan.h"

namespace hostsim {

namespace {

std::optional<Vec3> ParseCoordinates(std::string_view word) {
    double coordinates[3] = {0.0, 0.0, 0.0};
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = word.find(',');
        if (count == 3) {
            return std::nullopt;
        }
        const std::optional<double> value = ParseNumber(word.substr(0, comma));
        if (!value) {
            return std::nullopt;
        }
        coordinates[count++] = *value;
        if (comma == std::string_view::npos) {
            break;
        }
        word.remove_prefix(comma + 1);
    }
    if (count < 2) {
        return std::nullopt;
    }
    return Vec3{coordinates[0], coordinates[1], coordinates[2]};
}

// A point word in world coordinates: "w" marks world coordinates, anything else is typed in
// the construction plane.
std::optional<Vec3> ParsePointWord(std::string_view word, const ConstructionPlane& plane) {
    if (!word.empty() && (word.front() == 'w' || word.front() == 'W')) {
        return ParseCoordinates(word.substr(1));
    }
    const std::optional<Vec3> typed = ParseCoordinates(word);
    if (!typed) {
        return std::nullopt;
    }
    return PlaneToWorld(plane, *typed);
}

// Whether `word` is the English name `name` as the host's language lets it be written: behind
// "_" always, bare only in English. `marks` are the leading characters allowed before it.
bool NamesInLanguage(std::string_view word, std::string_view name, std::string_view marks, bool english) {
    bool underscore = false;
    while (!word.empty() && marks.find(word.front()) != std::string_view::npos) {
        underscore = underscore || word.front() == '_';
        word.remove_prefix(1);
    }
    return (underscore || english) && EqualsIgnoringCase(word, name);
}

CommandReading Refused(CommandResult result, std::string_view word) {
    CommandReading reading;
    reading.result = result;
    reading.unknownWord = std::string(word);
    return reading;
}

}  // namespace

CommandReading ReadInterpCrvCommand(std::string_view text, const CommandContext& context) {
    const std::string_view name = NextWord(text);
    if (!NamesInLanguage(name, "InterpCrv", "-_", context.english)) {
        return Refused(CommandResult::UnknownCommand, name);
    }
    CommandReading reading;
    // A generated text holds one point in about 20 characters; reserving avoids regrowth.
    reading.points.reserve(text.size() / 16 + 1);
    while (true) {
        const std::string_view word = NextWord(text);
        if (word.empty()) {
            return Refused(CommandResult::Cancel, "");
        }
        if (NamesInLanguage(word, "Enter", "_", context.english)) {
            break;
        }
        const std::optional<Vec3> point = ParsePointWord(word, context.plane);
        if (!point) {
            return Refused(CommandResult::Cancel, word);
        }
        reading.points.push_back(*point);
    }
    if (const std::string_view extra = NextWord(text); !extra.empty()) {
        return Refused(CommandResult::Cancel, extra);
    }
    return reading;
}

std::optional<std::vector<Vec3>> ParseInterpCrvCommand(std::string_view text) {
    CommandReading reading = ReadInterpCrvCommand(text, CommandContext{});
    if (reading.result != CommandResult::Success) {
        return std::nullopt;
    }
    return std::move(reading.points);
}

}  // namespace hostsim
