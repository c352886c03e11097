#include "hostsim/model/Document.h"

#include <charconv>
#include <stdexcept>

namespace hostsim {

std::string NumberText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

namespace {

constexpr std::size_t kFirstIndexSize = 64;
constexpr std::uint64_t kPlaceMask = 0xFFFFFFFFULL;
constexpr std::uint64_t kDeletedPlace = kPlaceMask;

std::size_t IndexSizeFor(std::size_t objects) {
    std::size_t size = kFirstIndexSize;
    while (size < 2 * (objects + 1)) {
        size *= 2;
    }
    return size;
}

std::uint64_t HashOf(ObjectKey key) {
    return ObjectKeyHash{}(key);
}

std::uint64_t Tag(std::uint64_t hash) {
    return hash & ~kPlaceMask;
}

}  // namespace

std::size_t Document::FindSlot(ObjectKey key) const {
    if (index_.empty()) {
        return kNoSlot;
    }
    const std::uint64_t hash = HashOf(key);
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
        const std::uint64_t slot = index_[i];
        if (slot == 0) {
            return kNoSlot;
        }
        const std::uint64_t place = slot & kPlaceMask;
        if (place != kDeletedPlace && Tag(slot) == Tag(hash) && keys_[static_cast<std::size_t>(place - 1)] == key) {
            return i;
        }
    }
}

void Document::IndexObject(ObjectKey key, std::size_t position) {
    const std::uint64_t hash = HashOf(key);
    const std::size_t mask = index_.size() - 1;
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    // A deleted slot is not reused: keeping every probe sequence intact is simpler, and
    // Compact clears them.
    while (index_[i] != 0) {
        i = (i + 1) & mask;
    }
    index_[i] = Tag(hash) | (position + 1);
    ++indexUsed_;
}

void Document::Compact() {
    if (liveCount_ != objects_.size()) {
        std::size_t kept = 0;
        for (std::size_t position = 0; position < objects_.size(); ++position) {
            if (!objects_[position]) {
                continue;
            }
            if (kept != position) {  // a self-move would empty the object
                objects_[kept] = std::move(objects_[position]);
                keys_[kept] = keys_[position];
            }
            ++kept;
        }
        objects_.resize(kept);
        keys_.resize(kept);
    }
    index_.assign(IndexSizeFor(liveCount_), 0);
    indexUsed_ = 0;
    for (std::size_t position = 0; position < objects_.size(); ++position) {
        IndexObject(keys_[position], position);
    }
}

std::string Document::Insert(DocObject object, std::optional<std::string_view> fixedId) {
    ObjectKey key;
    if (fixedId) {
        const std::optional<ObjectKey> parsed = ParseObjectKey(*fixedId);
        if (!parsed) {
            throw std::invalid_argument("malformed object id: " + std::string(*fixedId));
        }
        key = *parsed;
        if (FindSlot(key) != kNoSlot) {
            throw std::invalid_argument("an object with id " + ObjectKeyText(key) + " exists already");
        }
    } else {
        do {
            key = ids_.NextKey();
        } while (FindSlot(key) != kNoSlot);
    }
    if (objects_.size() + 1 >= kDeletedPlace) {
        throw std::length_error("the document holds as many objects as it can");
    }
    object.id = ObjectKeyText(key);
    std::string id = object.id;
    objects_.push_back(std::move(object));
    keys_.push_back(key);
    ++liveCount_;
    if (2 * (indexUsed_ + 1) > index_.size()) {
        Compact();  // indexes the new object too
    } else {
        IndexObject(key, objects_.size() - 1);
    }
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

bool PickFilterAllows(int filter, ObjectKind kind) {
    return filter == 0 || (kind == ObjectKind::Point && (filter & 1) != 0) ||
           (kind == ObjectKind::Curve && (filter & 4) != 0);
}

const DocObject* Document::Find(std::string_view id) const {
    const std::optional<ObjectKey> key = ParseObjectKey(id);
    const std::size_t slot = key ? FindSlot(*key) : kNoSlot;
    return slot == kNoSlot ? nullptr : &*objects_[static_cast<std::size_t>((index_[slot] & kPlaceMask) - 1)];
}

DocObject* Document::Find(std::string_view id) {
    return const_cast<DocObject*>(static_cast<const Document&>(*this).Find(id));
}

bool Document::Delete(std::string_view id) {
    const std::optional<ObjectKey> key = ParseObjectKey(id);
    const std::size_t slot = key ? FindSlot(*key) : kNoSlot;
    if (slot == kNoSlot) {
        return false;
    }
    objects_[static_cast<std::size_t>((index_[slot] & kPlaceMask) - 1)].reset();
    index_[slot] = Tag(index_[slot]) | kDeletedPlace;
    --liveCount_;
    // Probe lines come and go by the thousand in a generation run: once the gaps outnumber
    // the objects, they are closed and the index rebuilt, so neither grows without bound.
    if (objects_.size() - liveCount_ > liveCount_ + kFirstIndexSize) {
        Compact();
    }
    return true;
}

bool Document::Select(std::string_view id) {
    DocObject* object = Find(id);
    if (object == nullptr || !IsSelectable(*object)) {
        return false;
    }
    object->selected = true;
    return true;
}

bool Document::IsSelectable(const DocObject& object) const {
    return IsVisible(object) && !IsLocked(object);
}

bool Document::IsVisible(const DocObject& object) const {
    const auto layer = layers_.find(object.layer);
    return !object.hidden && (layer == layers_.end() || !layer->second.hidden);
}

bool Document::IsLocked(const DocObject& object) const {
    const auto layer = layers_.find(object.layer);
    return object.locked || (layer != layers_.end() && layer->second.locked);
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
    for (std::optional<DocObject>& object : objects_) {
        if (object && object->selected) {
            object->selected = false;
            ++count;
        }
    }
    return count;
}

std::vector<std::string> Document::AllIds() const {
    std::vector<std::string> ids;
    ids.reserve(liveCount_);
    for (const std::optional<DocObject>& object : objects_) {
        if (object) {
            ids.push_back(object->id);
        }
    }
    return ids;
}

std::vector<std::string> Document::SelectedIds() const {
    std::vector<std::string> ids;
    for (const std::optional<DocObject>& object : objects_) {
        if (object && object->selected) {
            ids.push_back(object->id);
        }
    }
    return ids;
}

void Document::Clear() {
    objects_.clear();
    keys_.clear();
    liveCount_ = 0;
    index_.clear();
    indexUsed_ = 0;
    redrawEnabled_ = true;
    tolerance_ = kAbsoluteTolerance;
    unitSystem_ = kMillimeters;
    layers_.clear();
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
    if (tolerance_ != kAbsoluteTolerance) {
        out += "tolerance " + NumberText(tolerance_) + "\n";
    }
    for (const auto& [name, state] : layers_) {
        out += "layer " + name;
        out += state.locked ? " locked" : "";
        out += state.hidden ? " hidden" : "";
        out += '\n';
    }
    for (const std::optional<DocObject>& entry : objects_) {
        if (!entry) {
            continue;
        }
        const DocObject& object = *entry;
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
        if (!object.layer.empty()) {
            out += " layer=" + object.layer;
        }
        out += object.locked ? " locked" : "";
        out += object.hidden ? " hidden" : "";
        if (object.selected) {
            out += " selected";
        }
        out += '\n';
    }
    return out;
}

}  // namespace hostsim
