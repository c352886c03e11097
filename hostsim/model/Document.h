#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/Curve.h"
#include "hostsim/model/ObjectId.h"
#include "hostsim/model/Vec3.h"

namespace hostsim {

enum class ObjectKind { Point, Curve };

// The host's object filter of a pick: 0 allows any object, otherwise bit 1 points and bit 4
// curves.
bool PickFilterAllows(int filter, ObjectKind kind);

// One object of the document: a point object or a curve object (line, polyline or
// interpolated curve).
struct DocObject {
    std::string id;  // canonical form
    ObjectKind kind = ObjectKind::Point;
    Vec3 point;                  // point objects
    std::optional<Curve> curve;  // curve objects
    bool selected = false;
    // The object's mode: a locked object is drawn but cannot be selected, a hidden one is
    // neither drawn nor selectable. Both false is the normal mode.
    bool locked = false;
    bool hidden = false;
    std::string layer;  // empty: the default layer, which is normal
};

// A layer's state; its objects take the stricter of their own mode and the layer's.
struct LayerState {
    bool locked = false;
    bool hidden = false;
};

// The simulated host's geometry document: objects in the order they were added, their
// selection state, and whether views redraw.
class Document {
  public:
    // The host's default absolute tolerance, in model units.
    static constexpr double kAbsoluteTolerance = 0.01;

    explicit Document(std::uint32_t idSeed) : ids_(idSeed) {}

    // Each returns the new object's id. fixedId, when given, must be a well-formed id that no
    // object has; otherwise std::invalid_argument is thrown and nothing is added.
    std::string AddPoint(Vec3 point, std::optional<std::string_view> fixedId = std::nullopt);
    std::string AddCurve(Curve curve, std::optional<std::string_view> fixedId = std::nullopt);

    // The object an id names (any letter case, optional braces and surrounding blanks), or
    // null when the id is malformed or names no object. The pointer stays valid until an
    // object is next added or deleted.
    const DocObject* Find(std::string_view id) const;
    DocObject* Find(std::string_view id);

    // Each returns false when the id names no object. Select also returns false, and selects
    // nothing, for an object that is not selectable.
    bool Delete(std::string_view id);
    bool Select(std::string_view id);
    bool Unselect(std::string_view id);
    // Number of objects that were selected.
    std::int32_t UnselectAll();

    // Ids in the order the objects were added.
    std::vector<std::string> AllIds() const;
    std::vector<std::string> SelectedIds() const;
    std::size_t Count() const { return liveCount_; }

    // Whether the object is in the normal mode on a normal layer: objects that are locked,
    // hidden, or on a locked or hidden layer cannot be selected (nor deleted without ignoring
    // modes).
    bool IsSelectable(const DocObject& object) const;
    // Whether the object is drawn: neither it nor its layer is hidden.
    bool IsVisible(const DocObject& object) const;
    // Whether the object is drawn but locked (itself or its layer).
    bool IsLocked(const DocObject& object) const;
    // Declares or changes a layer; objects may name layers never declared (normal ones).
    void SetLayer(const std::string& name, LayerState state) { layers_[name] = state; }

    // The document's absolute tolerance in model units (kAbsoluteTolerance unless a scene set it).
    double Tolerance() const { return tolerance_; }
    void SetTolerance(double tolerance) { tolerance_ = tolerance; }

    // The document's unit system, in the host's codes (2 millimeters, the default, 8 inches ...).
    static constexpr int kMillimeters = 2;
    int UnitSystem() const { return unitSystem_; }
    void SetUnitSystem(int system) { unitSystem_ = system; }

    bool RedrawEnabled() const { return redrawEnabled_; }
    void SetRedrawEnabled(bool enabled) { redrawEnabled_ = enabled; }

    // Removes every object and layer, switches redraw on and sets the default tolerance back;
    // ids already handed out are not reused.
    void Clear();

    // Dump in the scene format (README.md): "redraw on|off", a "tolerance" line when it is not
    // the default, the declared layers, then one line per object in the order added, each with
    // its id and, where they apply, its layer and the words "locked", "hidden", "selected".
    std::string Text() const;

  private:
    std::string Insert(DocObject object, std::optional<std::string_view> fixedId);

    // The index slot holding key, or kNoSlot.
    static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
    std::size_t FindSlot(ObjectKey key) const;
    // Places objects_[position] in the index; the index has room.
    void IndexObject(ObjectKey key, std::size_t position);
    // Rebuilds the index for the live objects, first closing the gaps deleted objects left.
    void Compact();

    IdGenerator ids_;
    // Objects in the order they were added, and their keys; a deleted object leaves an empty
    // entry until the gaps outnumber the objects, so deleting keeps the others' places.
    std::vector<std::optional<DocObject>> objects_;
    std::vector<ObjectKey> keys_;
    std::size_t liveCount_ = 0;
    // Open-addressing index from an id's key to its object's place, at most half full
    // (deleted entries included). Each eight-byte slot holds the upper half of the key's hash
    // above the place plus one; 0 is an empty slot and kDeletedPlace a deleted one. A lookup
    // reads one slot of a table small enough to stay in cache, then the object's key, and
    // objects looked up in document order are read in memory order.
    std::vector<std::uint64_t> index_;
    std::size_t indexUsed_ = 0;
    bool redrawEnabled_ = true;
    double tolerance_ = kAbsoluteTolerance;
    int unitSystem_ = kMillimeters;
    std::map<std::string, LayerState> layers_;
};

// Shortest text that reads back as the same double ("2.5", "-0.1", "1e+300").
std::string NumberText(double value);

}  // namespace hostsim
