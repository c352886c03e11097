#include "hostsim/model/ScriptApi.h"

#include <cmath>

#include "hostsim/model/CommandParser.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/FaultPlan.h"
#include "hostsim/model/Intersection.h"
#include "hostsim/model/Planarity.h"
#include "hostsim/model/ScriptArgs.h"
#include "hostsim/model/TextScan.h"

namespace hostsim {

namespace {

// Longest argument text a call log keeps: a generated command text runs to megabytes, and the
// log keeps every call of a session.
constexpr std::size_t kMaxLoggedArgument = 64 * 1024;

// Largest division count DivideCurve accepts; a larger one answers Null rather than build an
// array of millions of points.
constexpr std::int32_t kMaxSegments = 1000000;

struct OperationSpec {
    const char* name;
    std::size_t minArgs;
    std::size_t maxArgs;
};

// The operations, their required and their largest number of arguments (optional arguments
// of the host that are not simulated are accepted and ignored).
constexpr OperationSpec kOperations[] = {
    {"WindowHandle", 0, 0},    {"GetObject", 0, 6},
    {"GetObjects", 0, 7},      {"AllObjects", 0, 3},
    {"SelectedObjects", 0, 2}, {"IsPoint", 1, 1},
    {"IsCurve", 1, 2},         {"IsCurvePlanar", 1, 2},
    {"IsCurveInPlane", 1, 2},  {"PointCoordinates", 1, 2},
    {"AddLine", 2, 2},         {"AddPoint", 1, 1},
    {"DivideCurve", 2, 5},     {"CurveCurveIntersection", 1, 3},
    {"DeleteObject", 1, 1},    {"SelectObject", 1, 2},
    {"UnselectObject", 1, 1},  {"UnselectAllObjects", 0, 0},
    {"EnableRedraw", 0, 1},    {"Command", 1, 2},
};

const OperationSpec* FindOperation(const std::string& name) {
    for (const OperationSpec& spec : kOperations) {
        if (EqualsIgnoringCase(name, spec.name)) {
            return &spec;
        }
    }
    return nullptr;
}

std::string ArgumentText(const Value& v) {
    std::string text = v.Text();
    if (text.size() > kMaxLoggedArgument) {
        const std::size_t total = text.size();
        text.resize(kMaxLoggedArgument);
        text += "...(" + std::to_string(total) + " characters)";
    }
    return text;
}

// The ids are moved into the answer: a whole document's ids are not copied a second time.
Value IdArray(std::vector<std::string> ids) {
    if (ids.empty()) {
        return Value::Null();
    }
    std::vector<Value> elements;
    elements.reserve(ids.size());
    for (std::string& id : ids) {
        elements.push_back(Value::String(std::move(id)));
    }
    return Value::Array(std::move(elements));
}

Value PointValue(Vec3 p) {
    return Value::Point(p.x, p.y, p.z);
}

// The argument at index, or Empty when it was omitted.
const Value& Arg(const std::vector<Value>& args, std::size_t index) {
    static const Value kOmitted;
    return index < args.size() ? args[index] : kOmitted;
}

const Curve* FindCurve(const Document& document, const Value& idArg) {
    const std::string* id = ArgString(idArg);
    const DocObject* object = id ? document.Find(*id) : nullptr;
    return object && object->kind == ObjectKind::Curve ? &*object->curve : nullptr;
}

}  // namespace

ScriptError::ScriptError(std::string operation, std::string description)
    : std::runtime_error(operation + ": " + description),
      operation_(std::move(operation)),
      description_(std::move(description)) {}

void CallLog::StartRecord(std::string_view operation) {
    recordStarts_.push_back(partEnds_.size());
    text_ += operation;
    partEnds_.push_back(text_.size());
}

void CallLog::AddArgument(std::string_view text) {
    text_ += text;
    partEnds_.push_back(text_.size());
}

void CallLog::Add(const CallRecord& record) {
    StartRecord(record.operation);
    for (const std::string& argument : record.arguments) {
        AddArgument(argument);
    }
}

void CallLog::Clear() {
    text_.clear();
    partEnds_.clear();
    recordStarts_.clear();
}

std::string_view CallLog::Part(std::size_t part) const {
    const std::size_t begin = part == 0 ? 0 : partEnds_[part - 1];
    return std::string_view(text_).substr(begin, partEnds_[part] - begin);
}

std::size_t CallLog::EndPart(std::size_t index) const {
    return index + 1 < recordStarts_.size() ? recordStarts_[index + 1] : partEnds_.size();
}

CallRecord CallLog::Record(std::size_t index) const {
    CallRecord record{std::string(Part(FirstPart(index))), {}};
    for (std::size_t part = FirstPart(index) + 1; part < EndPart(index); ++part) {
        record.arguments.emplace_back(Part(part));
    }
    return record;
}

std::vector<CallRecord> CallLog::Records() const {
    std::vector<CallRecord> records;
    records.reserve(Size());
    for (std::size_t i = 0; i < Size(); ++i) {
        records.push_back(Record(i));
    }
    return records;
}

std::size_t CallLog::CountOf(const std::string& operation) const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < Size(); ++i) {
        if (EqualsIgnoringCase(Part(FirstPart(i)), operation)) {
            ++count;
        }
    }
    return count;
}

std::string CallLog::Line(std::size_t index) const {
    std::string line(Part(FirstPart(index)));
    line += '(';
    for (std::size_t part = FirstPart(index) + 1; part < EndPart(index); ++part) {
        if (part > FirstPart(index) + 1) {
            line += ", ";
        }
        line += Part(part);
    }
    line += ')';
    return line;
}

std::string CallLog::Text() const {
    std::string out;
    for (std::size_t i = 0; i < Size(); ++i) {
        out += Line(i);
        out += '\n';
    }
    return out;
}

ScriptApi::ScriptApi(std::uint32_t idSeed)
    : document_(std::make_unique<Document>(idSeed)), faults_(std::make_unique<FaultPlan>()) {}

ScriptApi::~ScriptApi() = default;

std::vector<std::string> ScriptApi::OperationNames() {
    std::vector<std::string> names;
    for (const OperationSpec& spec : kOperations) {
        names.emplace_back(spec.name);
    }
    return names;
}

bool ScriptApi::NextGetScriptObjectFails() {
    return faults_->NextGetScriptObjectFails();
}

void ScriptApi::QueuePick(std::optional<std::vector<std::string>> answer) {
    pickQueue_.push_back(std::move(answer));
}

std::string ScriptApi::DocumentText() const {
    return document_->Text();
}

Value ScriptApi::Call(const std::string& operation, const std::vector<Value>& args) {
    log_.StartRecord(operation);
    for (const Value& arg : args) {
        log_.AddArgument(ArgumentText(arg));
    }

    const OperationSpec* spec = FindOperation(operation);
    if (spec == nullptr) {
        throw ScriptError(operation, "Unknown name");
    }
    const std::string name = spec->name;
    const FaultPlan::Decision fault = faults_->OnCall(name);
    if (fault.exit) {
        exitRequested_ = true;
        if (exitHandler_) {
            exitHandler_();
        }
        throw ScriptError(name, "The host process has ended");
    }
    if (fault.raise) {
        throw ScriptError(name, "Injected failure");
    }
    // Trailing Empty arguments are omitted optional ones.
    std::size_t given = args.size();
    while (given > 0 && args[given - 1].IsEmpty()) {
        --given;
    }
    if (given < spec->minArgs) {
        throw ScriptError(name, "Argument not optional");
    }
    if (given > spec->maxArgs) {
        throw ScriptError(name, "Wrong number of arguments");
    }
    Value answer = Dispatch(name, args);
    if (fault.wrongType) {
        answer = ApplyWrongType(*fault.wrongType, answer);
    }
    return answer;
}

Value ScriptApi::Pick(const std::vector<Value>& args, bool many) {
    const std::string* promptArg = ArgString(Arg(args, 0));
    const std::string prompt = promptArg ? *promptArg : (many ? "Select objects" : "Select object");
    const std::optional<double> filterArg = ArgNumber(Arg(args, 1));
    const std::optional<std::int32_t> filter = RoundHalfEven(filterArg.value_or(0.0));
    if (!filter) {
        return Value::Null();
    }
    std::optional<std::vector<std::string>> answer;
    if (!pickQueue_.empty()) {
        answer = std::move(pickQueue_.front());
        pickQueue_.erase(pickQueue_.begin());
    } else if (pickProvider_ != nullptr) {
        // The provider may run other calls (control lines) while the user picks, so nothing
        // of the document is held across this call.
        answer = pickProvider_->Pick(prompt, *filter, many);
    }
    if (!answer || answer->empty()) {
        return Value::Null();
    }
    std::vector<std::string> ids;
    for (const std::string& id : *answer) {
        const DocObject* object = document_->Find(id);
        ids.push_back(object ? object->id : id);
        if (!many) {
            return Value::String(ids.front());
        }
    }
    return IdArray(std::move(ids));
}

Value ScriptApi::RunCommand(const std::vector<Value>& args) {
    const std::string* text = ArgString(Arg(args, 0));
    if (text == nullptr) {
        return Value::Bool(false);
    }
    std::optional<std::vector<Vec3>> points = ParseInterpCrvCommand(*text);
    if (!points) {
        return Value::Bool(false);
    }
    lastCommandPoints_ = *points;
    std::optional<Curve> curve = Curve::MakeInterpolated(std::move(*points));
    if (!curve) {
        return Value::Bool(false);
    }
    document_->AddCurve(std::move(*curve));
    return Value::Bool(true);
}

Value ScriptApi::Dispatch(const std::string& name, const std::vector<Value>& args) {
    Document& doc = *document_;
    const double tolerance = Document::kAbsoluteTolerance;
    const auto findObject = [&](const Value& idArg) -> DocObject* {
        const std::string* id = ArgString(idArg);
        return id ? doc.Find(*id) : nullptr;
    };

    if (name == "WindowHandle") {
        return Value::Int32(windowHandle_);
    }
    if (name == "GetObject" || name == "GetObjects") {
        return Pick(args, name == "GetObjects");
    }
    if (name == "AllObjects") {
        return IdArray(doc.AllIds());
    }
    if (name == "SelectedObjects") {
        return IdArray(doc.SelectedIds());
    }
    if (name == "IsPoint" || name == "IsCurve") {
        const DocObject* object = findObject(Arg(args, 0));
        if (object == nullptr) {
            return Value::Null();
        }
        return Value::Bool(object->kind == (name == "IsPoint" ? ObjectKind::Point : ObjectKind::Curve));
    }
    if (name == "IsCurvePlanar") {
        const Curve* curve = FindCurve(doc, Arg(args, 0));
        return curve ? Value::Bool(IsPlanar(curve->ShapeSamples(), tolerance)) : Value::Null();
    }
    if (name == "IsCurveInPlane") {
        const Curve* curve = FindCurve(doc, Arg(args, 0));
        // Without a plane the construction plane is used, which is world XY here.
        const std::optional<PlaneArg> plane = Arg(args, 1).IsEmpty()
                                                  ? std::optional<PlaneArg>(PlaneArg{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
                                                  : ArgPlane(Arg(args, 1));
        if (curve == nullptr || !plane || !(Length(Cross(plane->xAxis, plane->yAxis)) > 0.0)) {
            return Value::Null();
        }
        return Value::Bool(LiesInPlane(curve->ShapeSamples(), plane->origin, plane->xAxis, plane->yAxis, tolerance));
    }
    if (name == "PointCoordinates") {
        DocObject* object = findObject(Arg(args, 0));
        if (object == nullptr || object->kind != ObjectKind::Point) {
            return Value::Null();
        }
        const Vec3 previous = object->point;
        if (!Arg(args, 1).IsEmpty()) {
            const std::optional<Vec3> moved = ArgPoint(Arg(args, 1));
            if (!moved) {
                return Value::Null();
            }
            object->point = *moved;
        }
        return PointValue(previous);
    }
    if (name == "AddLine") {
        const std::optional<Vec3> start = ArgPoint(Arg(args, 0));
        const std::optional<Vec3> end = ArgPoint(Arg(args, 1));
        std::optional<Curve> line = start && end ? Curve::MakeLine(*start, *end) : std::nullopt;
        return line ? Value::String(doc.AddCurve(std::move(*line))) : Value::Null();
    }
    if (name == "AddPoint") {
        const std::optional<Vec3> point = ArgPoint(Arg(args, 0));
        return point ? Value::String(doc.AddPoint(*point)) : Value::Null();
    }
    if (name == "DivideCurve") {
        const Curve* curve = FindCurve(doc, Arg(args, 0));
        const std::optional<double> count = ArgNumber(Arg(args, 1));
        const std::optional<std::int32_t> segments = count ? RoundHalfEven(*count) : std::nullopt;
        if (curve == nullptr || !segments || *segments < 1 || *segments > kMaxSegments || !(curve->Length() > 0.0)) {
            return Value::Null();
        }
        const bool create = Arg(args, 2).IsEmpty() ? false : ArgBool(Arg(args, 2)).value_or(false);
        const bool asPoints = Arg(args, 3).IsEmpty() ? true : ArgBool(Arg(args, 3)).value_or(true);
        const std::int32_t pointCount = curve->IsClosed() ? *segments : *segments + 1;
        std::vector<Value> elements;
        std::vector<Vec3> points;
        elements.reserve(static_cast<std::size_t>(pointCount));
        for (std::int32_t i = 0; i < pointCount; ++i) {
            const double t =
                i == *segments ? curve->DomainEnd() : curve->ParameterAtLength(curve->Length() * i / *segments);
            const Vec3 p = curve->PointAt(t);
            if (create) {
                points.push_back(p);
            }
            elements.push_back(asPoints ? PointValue(p) : Value::Double(t));
        }
        if (create) {
            for (const Vec3& p : points) {
                doc.AddPoint(p);
            }
        }
        return Value::Array(std::move(elements));
    }
    if (name == "CurveCurveIntersection") {
        const Curve* a = FindCurve(doc, Arg(args, 0));
        // Without a second curve the host looks for self-intersections, which are not simulated.
        const Curve* b = FindCurve(doc, Arg(args, 1));
        const std::optional<double> given = Arg(args, 2).IsEmpty() ? std::nullopt : ArgNumber(Arg(args, 2));
        const double useTolerance = given && *given > 0.0 ? *given : tolerance;
        if (a == nullptr || b == nullptr) {
            return Value::Null();
        }
        const std::vector<IntersectionEvent> events = IntersectCurves(*a, *b, useTolerance);
        if (events.empty()) {
            return Value::Null();
        }
        std::vector<Value> cells;
        cells.reserve(events.size() * 9);
        for (const IntersectionEvent& e : events) {
            cells.push_back(Value::Int32(e.overlap ? 2 : 1));
            cells.push_back(PointValue(e.aStart));
            cells.push_back(PointValue(e.aEnd));
            cells.push_back(PointValue(e.bStart));
            cells.push_back(PointValue(e.bEnd));
            cells.push_back(Value::Double(e.aParamStart));
            cells.push_back(Value::Double(e.aParamEnd));
            cells.push_back(Value::Double(e.bParamStart));
            cells.push_back(Value::Double(e.bParamEnd));
        }
        return Value::Array({ArrayBound{0, events.size()}, ArrayBound{0, 9}}, std::move(cells));
    }
    if (name == "DeleteObject") {
        const std::string* id = ArgString(Arg(args, 0));
        return Value::Bool(id != nullptr && doc.Delete(*id));
    }
    if (name == "SelectObject" || name == "UnselectObject") {
        const std::string* id = ArgString(Arg(args, 0));
        if (id == nullptr || doc.Find(*id) == nullptr) {
            return Value::Null();
        }
        return Value::Bool(name == "SelectObject" ? doc.Select(*id) : doc.Unselect(*id));
    }
    if (name == "UnselectAllObjects") {
        return Value::Int32(doc.UnselectAll());
    }
    if (name == "EnableRedraw") {
        const std::optional<bool> enable = Arg(args, 0).IsEmpty() ? std::optional<bool>(true) : ArgBool(Arg(args, 0));
        if (!enable) {
            return Value::Null();
        }
        const bool previous = doc.RedrawEnabled();
        doc.SetRedrawEnabled(*enable);
        return Value::Bool(previous);
    }
    if (name == "Command") {
        return RunCommand(args);
    }
    throw ScriptError(name, "Unknown name");
}

}  // namespace hostsim
