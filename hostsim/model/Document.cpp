#include "hostsim/model/Document.h"

#include <charconv>
#include <stdexcept>

namespace hostsim {

std::string NumberText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string Document::Insert(DocObject object, std::optional<std::string_view> fixedId) {
    if (fixedId) {
        const std::optional<std::string> canonical = CanonicalId(*fixedId);
        if (!canonical) {
            throw std::invalid_argument("malformed object id: " + std::string(*fixedId));
        }
        if (sequenceById_.count(*canonical) != 0) {
            throw std::invalid_argument("an object with id " + *canonical + " exists already");
        }
        object.id = *canonical;
    } else {
        do {
            object.id = ids_.Next();
        } while (sequenceById_.count(object.id) != 0);
    }
    const std::uint64_t sequence = nextSequence_++;
    sequenceById_.emplace(object.id, sequence);
    std::string id = object.id;
    objects_.emplace(sequence, std::move(object));
    return id;
}

std::string Document::AddPoint(Vec3 point, std::optional<std::string_view> fixedId) {
    DocObject object;
    object.kind = ObjectKind::Point;
    object.point = point;
    return Insert(std::move(object), fixedId);
}

std::string Document::AddCurve(Curve curve, std::optional<std::string_view> fixedId) {
    DocObject object;
    object.kind = ObjectKind::Curve;
    object.curve = std::move(curve);
    return Insert(std::move(object), fixedId);
}

const DocObject* Document::Find(std::string_view id) const {
    const std::optional<std::string> canonical = CanonicalId(id);
    if (!canonical) {
        return nullptr;
    }
    const auto it = sequenceById_.find(*canonical);
    return it == sequenceById_.end() ? nullptr : &objects_.at(it->second);
}

DocObject* Document::Find(std::string_view id) {
    return const_cast<DocObject*>(static_cast<const Document&>(*this).Find(id));
}

bool Document::Delete(std::string_view id) {
    const DocObject* object = Find(id);
    if (object == nullptr) {
        return false;
    }
    const auto it = sequenceById_.find(object->id);
    objects_.erase(it->second);
    sequenceById_.erase(it);
    return true;
}

bool Document::Select(std::string_view id) {
    DocObject* object = Find(id);
    if (object == nullptr) {
        return false;
    }
    object->selected = true;
    return true;
}

bool Document::Unselect(std::string_view id) {
    DocObject* object = Find(id);
    if (object == nullptr) {
        return false;
    }
    object->selected = false;
    return true;
}

std::int32_t Document::UnselectAll() {
    std::int32_t count = 0;
    for (auto& [sequence, object] : objects_) {
        if (object.selected) {
            object.selected = false;
            ++count;
        }
    }
    return count;
}

std::vector<std::string> Document::AllIds() const {
    std::vector<std::string> ids;
    ids.reserve(objects_.size());
    for (const auto& [sequence, object] : objects_) {
        ids.push_back(object.id);
    }
    return ids;
}

std::vector<std::string> Document::SelectedIds() const {
    std::vector<std::string> ids;
    for (const auto& [sequence, object] : objects_) {
        if (object.selected) {
            ids.push_back(object.id);
        }
    }
    return ids;
}

void Document::Clear() {
    objects_.clear();
    sequenceById_.clear();
    redrawEnabled_ = true;
}

namespace {

void AppendPoint(std::string& out, Vec3 p) {
    out += ' ';
    out += NumberText(p.x);
    out += ' ';
    out += NumberText(p.y);
    out += ' ';
    out += NumberText(p.z);
}

std::string_view CurveWord(const Curve& curve) {
    switch (curve.GetShape()) {
        case Curve::Shape::Line:
            return "line";
        case Curve::Shape::Polyline:
            return "polyline";
        case Curve::Shape::Interpolated:
            return "curve";
    }
    return "curve";
}

}  // namespace

std::string Document::Text() const {
    std::string out = redrawEnabled_ ? "redraw on\n" : "redraw off\n";
    for (const auto& [sequence, object] : objects_) {
        if (object.kind == ObjectKind::Point) {
            out += "point";
            AppendPoint(out, object.point);
        } else {
            out += CurveWord(*object.curve);
            for (const Vec3& p : object.curve->Points()) {
                AppendPoint(out, p);
            }
        }
        out += " id=";
        out += object.id;
        if (object.selected) {
            out += " selected";
        }
        out += '\n';
    }
    return out;
}

}  // namespace hostsim
