#include "HostDocument.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace driver {

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::optional<double> Number(std::string_view word) {
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool SameId(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

HostDocument HostDocument::Parse(std::string_view text) {
    HostDocument document;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        const std::vector<std::string_view> words = Words(line);
        if (words.empty()) {
            continue;
        }
        const auto fault = [&](const std::string& what) {
            return std::invalid_argument("document line " + std::to_string(lineNumber) + ": " + what + ": " +
                                         std::string(line));
        };
        if (words[0] == "redraw") {
            if (words.size() != 2) {
                throw fault("redraw takes on or off");
            }
            document.redrawOn = words[1] == "on";
            continue;
        }
        // The document's tolerance and its layers say nothing the scenarios compare.
        if (words[0] == "tolerance" || words[0] == "layer") {
            continue;
        }
        HostObject object;
        object.kind = std::string(words[0]);
        std::vector<double> numbers;
        for (std::size_t i = 1; i < words.size(); ++i) {
            if (words[i].starts_with("id=")) {
                object.id = std::string(words[i].substr(3));
            } else if (words[i] == "selected") {
                object.selected = true;
            } else if (words[i].starts_with("layer=") || words[i] == "locked" || words[i] == "hidden") {
                continue;  // the object's mode: what the host does with it is what the scenarios check
            } else if (const std::optional<double> n = Number(words[i])) {
                numbers.push_back(*n);
            } else {
                throw fault("not a number");
            }
        }
        if (numbers.size() % 3 != 0 || object.id.empty()) {
            throw fault("coordinates in threes and an id expected");
        }
        for (std::size_t i = 0; i < numbers.size(); i += 3) {
            object.points.push_back({numbers[i], numbers[i + 1], numbers[i + 2]});
        }
        document.objects.push_back(std::move(object));
    }
    return document;
}

const HostObject* HostDocument::Find(std::string_view id) const {
    for (const HostObject& object : objects) {
        if (SameId(object.id, id)) {
            return &object;
        }
    }
    return nullptr;
}

std::vector<const HostObject*> HostDocument::OfKind(std::string_view kind) const {
    std::vector<const HostObject*> found;
    for (const HostObject& object : objects) {
        if (object.kind == kind) {
            found.push_back(&object);
        }
    }
    return found;
}

std::vector<const HostObject*> HostDocument::AddedSince(const HostDocument& before) const {
    std::vector<const HostObject*> added;
    for (const HostObject& object : objects) {
        if (before.Find(object.id) == nullptr) {
            added.push_back(&object);
        }
    }
    return added;
}

std::vector<std::string> HostDocument::SelectedIds() const {
    std::vector<std::string> ids;
    for (const HostObject& object : objects) {
        if (object.selected) {
            ids.push_back(object.id);
        }
    }
    return ids;
}

std::vector<LoggedCall> ParseCallLog(std::string_view text) {
    std::vector<LoggedCall> calls;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        LoggedCall call;
        const std::size_t noteAt = line.rfind(") # ");
        if (!line.empty() && line.back() != ')' && noteAt != std::string_view::npos) {
            call.note = std::string(line.substr(noteAt + 4));
            line = line.substr(0, noteAt + 1);
        }
        const std::size_t open = line.find('(');
        if (open == std::string_view::npos || line.back() != ')') {
            continue;  // not a call line (a line of the host's own, such as "exit")
        }
        call.operation = std::string(line.substr(0, open));
        const std::string_view inner = line.substr(open + 1, line.size() - open - 2);
        // Split at ", " outside quotes and brackets.
        int depth = 0;
        bool quoted = false;
        std::size_t start = 0;
        for (std::size_t i = 0; i < inner.size(); ++i) {
            const char c = inner[i];
            if (quoted) {
                if (c == '\\') {
                    ++i;
                } else if (c == '"') {
                    quoted = false;
                }
            } else if (c == '"') {
                quoted = true;
            } else if (c == '[' || c == '{') {
                ++depth;
            } else if (c == ']' || c == '}') {
                --depth;
            } else if (c == ',' && depth == 0 && i + 1 < inner.size() && inner[i + 1] == ' ') {
                call.arguments.emplace_back(inner.substr(start, i - start));
                start = i + 2;
                ++i;
            }
        }
        if (!inner.empty()) {
            call.arguments.emplace_back(inner.substr(start));
        }
        calls.push_back(std::move(call));
    }
    return calls;
}

std::vector<std::string> OperationsOf(const std::vector<LoggedCall>& calls) {
    std::vector<std::string> names;
    for (const LoggedCall& call : calls) {
        names.push_back(call.operation);
    }
    return names;
}

std::optional<std::string> StringArgument(std::string_view argument) {
    constexpr std::string_view kPrefix = "String \"";
    if (!argument.starts_with(kPrefix) || argument.size() < kPrefix.size() + 1 || argument.back() != '"') {
        return std::nullopt;
    }
    const std::string_view inner = argument.substr(kPrefix.size(), argument.size() - kPrefix.size() - 1);
    std::string out;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '\\' && i + 1 < inner.size()) {
            ++i;
        }
        out += inner[i];
    }
    return out;
}

}  // namespace driver
