#include "hostsim/model/Scene.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "hostsim/model/TextScan.h"

namespace hostsim {

namespace {

std::string_view WithoutComment(std::string_view line) {
    const std::size_t hash = line.find('#');
    return hash == std::string_view::npos ? line : line.substr(0, hash);
}

// The words after an object line's kind: its points, and the id=, layer= and mode words that
// follow them.
struct ObjectWords {
    std::vector<Vec3> points;
    std::optional<std::string_view> fixedId;
    std::string_view layer;
    bool selected = false;
    bool locked = false;
    bool hidden = false;
};

void ApplyRedraw(Document& document, std::string_view rest) {
    const std::string_view state = NextWord(rest);
    if (!NextWord(rest).empty() || !(EqualsIgnoringCase(state, "on") || EqualsIgnoringCase(state, "off"))) {
        throw std::invalid_argument("redraw takes on or off");
    }
    document.SetRedrawEnabled(EqualsIgnoringCase(state, "on"));
}

void ApplyTolerance(Document& document, std::string_view rest) {
    const std::optional<double> tolerance = ParseNumber(NextWord(rest));
    if (!tolerance || !(*tolerance > 0.0) || !NextWord(rest).empty()) {
        throw std::invalid_argument("tolerance takes one number greater than 0");
    }
    document.SetTolerance(*tolerance);
}

void ApplyLayer(Document& document, std::string_view rest) {
    const std::string_view name = NextWord(rest);
    if (name.empty()) {
        throw std::invalid_argument("layer takes a name, then locked and/or hidden");
    }
    LayerState state;
    for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
        if (EqualsIgnoringCase(word, "locked")) {
            state.locked = true;
        } else if (EqualsIgnoringCase(word, "hidden")) {
            state.hidden = true;
        } else {
            throw std::invalid_argument("a layer is only locked or hidden, not " + std::string(word));
        }
    }
    document.SetLayer(std::string(name), state);
}

ObjectWords ReadObjectWords(std::string_view rest) {
    ObjectWords words;
    std::vector<double> numbers;
    for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
        if (word.size() > 3 && EqualsIgnoringCase(word.substr(0, 3), "id=")) {
            words.fixedId = word.substr(3);
        } else if (word.size() > 6 && EqualsIgnoringCase(word.substr(0, 6), "layer=")) {
            words.layer = word.substr(6);
        } else if (EqualsIgnoringCase(word, "selected")) {
            words.selected = true;
        } else if (EqualsIgnoringCase(word, "locked")) {
            words.locked = true;
        } else if (EqualsIgnoringCase(word, "hidden")) {
            words.hidden = true;
        } else if (const std::optional<double> number = ParseNumber(word)) {
            if (words.fixedId || words.selected || words.locked || words.hidden || !words.layer.empty()) {
                throw std::invalid_argument("coordinates must come before id=, layer= and the modes");
            }
            numbers.push_back(*number);
        } else {
            throw std::invalid_argument("not a number: " + std::string(word));
        }
    }
    if (numbers.size() % 3 != 0) {
        throw std::invalid_argument("coordinates must come in threes");
    }
    for (std::size_t i = 0; i < numbers.size(); i += 3) {
        words.points.push_back({numbers[i], numbers[i + 1], numbers[i + 2]});
    }
    return words;
}

// The curve a line, polyline or curve line describes.
Curve CurveOfKind(std::string_view kind, const std::vector<Vec3>& points) {
    std::optional<Curve> curve;
    if (EqualsIgnoringCase(kind, "line")) {
        if (points.size() != 2) {
            throw std::invalid_argument("line takes x1 y1 z1 x2 y2 z2");
        }
        curve = Curve::MakeLine(points[0], points[1]);
    } else if (EqualsIgnoringCase(kind, "polyline")) {
        curve = Curve::MakePolyline(points);
    } else if (EqualsIgnoringCase(kind, "curve")) {
        curve = Curve::MakeInterpolated(points);
    } else {
        throw std::invalid_argument("unknown object kind: " + std::string(kind));
    }
    if (!curve) {
        throw std::invalid_argument(std::string(kind) + " needs two distinct points");
    }
    return std::move(*curve);
}

}  // namespace

std::optional<std::string> ApplySceneLine(Document& document, std::string_view line) {
    std::string_view rest = WithoutComment(line);
    const std::string_view kind = NextWord(rest);
    if (kind.empty()) {
        return std::nullopt;
    }
    if (EqualsIgnoringCase(kind, "redraw")) {
        ApplyRedraw(document, rest);
        return std::nullopt;
    }
    if (EqualsIgnoringCase(kind, "tolerance")) {
        ApplyTolerance(document, rest);
        return std::nullopt;
    }
    if (EqualsIgnoringCase(kind, "layer")) {
        ApplyLayer(document, rest);
        return std::nullopt;
    }
    const ObjectWords words = ReadObjectWords(rest);
    std::string id;
    if (EqualsIgnoringCase(kind, "point")) {
        if (words.points.size() != 1) {
            throw std::invalid_argument("point takes x y z");
        }
        id = document.AddPoint(words.points[0], words.fixedId);
    } else {
        id = document.AddCurve(CurveOfKind(kind, words.points), words.fixedId);
    }
    DocObject* added = document.Find(id);
    added->locked = words.locked;
    added->hidden = words.hidden;
    added->layer = std::string(words.layer);
    // A locked or hidden object cannot be selected, in a scene as by a script.
    if (words.selected) {
        document.Select(id);
    }
    return id;
}

void LoadSceneText(Document& document, std::string_view text) {
    Document changed = document;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        try {
            ApplySceneLine(changed, line);
        } catch (const std::invalid_argument& error) {
            throw std::invalid_argument("line " + std::to_string(lineNumber) + ": " + error.what());
        }
    }
    document = std::move(changed);
}

void LoadSceneFile(Document& document, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::invalid_argument("cannot read scene file " + path);
    }
    std::ostringstream content;
    content << file.rdbuf();
    LoadSceneText(document, content.str());
}

}  // namespace hostsim
