#include "hostsim/model/CommandParser.h"

#include "hostsim/model/TextScan.h"

namespace hostsim {

namespace {

std::optional<Vec3> ParsePointWord(std::string_view word) {
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

}  // namespace

std::optional<std::vector<Vec3>> ParseInterpCrvCommand(std::string_view text) {
    std::string_view name = NextWord(text);
    while (!name.empty() && (name.front() == '_' || name.front() == '-')) {
        name.remove_prefix(1);
    }
    if (!EqualsIgnoringCase(name, "InterpCrv")) {
        return std::nullopt;
    }
    std::vector<Vec3> points;
    // A generated text holds one point in about 20 characters; reserving avoids regrowth.
    points.reserve(text.size() / 16 + 1);
    while (true) {
        const std::string_view word = NextWord(text);
        if (word.empty()) {
            return std::nullopt;
        }
        if (EqualsIgnoringCase(word, "Enter")) {
            break;
        }
        const std::optional<Vec3> point = ParsePointWord(word);
        if (!point) {
            return std::nullopt;
        }
        points.push_back(*point);
    }
    if (!NextWord(text).empty()) {
        return std::nullopt;
    }
    return points;
}

}  // namespace hostsim
