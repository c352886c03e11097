#include "hostsim/server/DocumentSnapshot.h"

#include "hostsim/model/Document.h"

namespace hostsim {

namespace {

constexpr int kChordsPerPiece = 16;

std::vector<Vec3> CurveShape(const Curve& curve) {
    if (curve.IsStraight()) {
        return curve.Points();
    }
    std::vector<Vec3> shape;
    for (std::size_t piece = 0; piece < curve.PieceCount(); ++piece) {
        const double from = curve.Knot(piece);
        const double to = curve.Knot(piece + 1);
        for (int k = 0; k < kChordsPerPiece; ++k) {
            shape.push_back(curve.PointAt(from + (to - from) * k / kChordsPerPiece));
        }
    }
    shape.push_back(curve.PointAt(curve.DomainEnd()));
    return shape;
}

const char* KindName(Curve::Shape shape) {
    switch (shape) {
        case Curve::Shape::Line:
            return "Line";
        case Curve::Shape::Polyline:
            return "Polyline";
        case Curve::Shape::Interpolated:
            break;
    }
    return "Curve";
}

}  // namespace

std::vector<DrawnObject> DocumentSnapshot(const Document& document) {
    std::vector<DrawnObject> drawn;
    for (const std::string& id : document.AllIds()) {
        const DocObject* object = document.Find(id);
        // Hidden objects, and those on hidden layers, are not drawn at all.
        if (!object || !document.IsVisible(*object)) {
            continue;
        }
        DrawnObject item;
        item.id = object->id;
        item.selected = object->selected;
        item.locked = document.IsLocked(*object);
        if (object->kind == ObjectKind::Point) {
            item.isPoint = true;
            item.kindName = "Point";
            item.shape = {object->point};
        } else if (object->curve) {
            item.isCurve = true;
            item.kindName = KindName(object->curve->GetShape());
            item.shape = CurveShape(*object->curve);
        }
        drawn.push_back(std::move(item));
    }
    return drawn;
}

}  // namespace hostsim
