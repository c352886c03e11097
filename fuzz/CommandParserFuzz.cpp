// The simulated host's interpolated-curve command parser on arbitrary text: never a crash,
// every point it reads finite, and reading is stable: the points written back as a command
// (shortest round-trip numbers) read as the same points. The run's per-input timeout with a
// large maximum input length (scripts/fuzz) catches work that grows faster than the text.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/CommandParser.h"

namespace {

void AppendNumber(std::string& out, double value) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, written.ptr);
}

std::string CommandOf(const std::vector<hostsim::Vec3>& points) {
    std::string text = "-_InterpCrv ";
    for (const hostsim::Vec3& point : points) {
        text += 'w';
        AppendNumber(text, point.x);
        text += ',';
        AppendNumber(text, point.y);
        text += ',';
        AppendNumber(text, point.z);
        text += ' ';
    }
    return text + "_Enter";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::vector<hostsim::Vec3>> points = hostsim::ParseInterpCrvCommand(text);
    if (!points) {
        return 0;
    }
    // Each point takes at least three characters ("1,2") and the command at least
    // "InterpCrv Enter".
    if (points->size() * 4 + 15 > size) {
        __builtin_trap();
    }
    for (const hostsim::Vec3& point : *points) {
        if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) {
            __builtin_trap();
        }
    }
    const std::optional<std::vector<hostsim::Vec3>> again = hostsim::ParseInterpCrvCommand(CommandOf(*points));
    if (!again || again->size() != points->size()) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < points->size(); ++i) {
        const hostsim::Vec3& a = (*points)[i];
        const hostsim::Vec3& b = (*again)[i];
        if (!(a.x == b.x && a.y == b.y && a.z == b.z)) {
            __builtin_trap();
        }
    }
    return 0;
}
