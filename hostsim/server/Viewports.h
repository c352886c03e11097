#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hostsim/model/ConstructionPlane.h"
#include "hostsim/model/Vec3.h"

namespace hostsim {

// What the viewports draw of one document object.
struct DrawnObject {
    std::string id;
    bool isPoint = false;
    bool isCurve = false;
    // What the host's selection menu calls it: "Point", "Line", "Polyline" or "Curve".
    std::string kindName;
    // The point (one entry) or the curve as a polyline, in world coordinates.
    std::vector<Vec3> shape;
    bool selected = false;
    // Drawn greyed and never picked (the object or its layer is locked).
    bool locked = false;
};

// A rectangle in client pixels; right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ScreenPoint {
    double xPixels = 0.0;
    double yPixels = 0.0;
};

// One viewport: which projection, where it sits, and the zoom that shows the whole document.
struct ViewTransform {
    ViewKind kind = ViewKind::Top;
    PixelRect rect;
    // Pixels per model unit, and the model-plane point drawn at the centre of rect.
    double pixelsPerUnit = 1.0;
    double centerU = 0.0;
    double centerV = 0.0;

    // Client pixel of a world point (y grows downwards).
    ScreenPoint ToScreen(Vec3 world) const;
};

// The model-plane coordinates (u to the right, v up) a view projects a world point to: Top
// (x, y), Front (x, z), Right (y, z), Perspective a fixed axonometric view from +x, -y, +z.
void ProjectToPlane(ViewKind kind, Vec3 world, double& u, double& v);

// The four viewports of a client area of the given size, as the host lays them out: Top and
// Perspective above, Front and Right below, separated by a 2-pixel gap. Each view zooms to the
// extents of `objects` with a margin (at least 20 units across, centred on the origin when the
// document is empty).
std::vector<ViewTransform> LayoutViews(int widthPixels, int heightPixels, const std::vector<DrawnObject>& objects);

// The object's polyline as drawn in a view (one point for a point object).
std::vector<ScreenPoint> ScreenShape(const ViewTransform& view, const DrawnObject& object);

// The host's object filter: 0 allows any object, otherwise bit 1 points and bit 4 curves.
bool FilterAllows(int filter, const DrawnObject& object);

// The view whose rectangle holds the client pixel (x, y), or null.
const ViewTransform* ViewAt(const std::vector<ViewTransform>& views, int xPixels, int yPixels);

// Indexes into `objects` of the objects the filter allows within `tolerancePixels` of a click at
// (x, y), measured to their drawn shapes in the view holding the click: the nearest first, of
// two as near the later one (drawn on top); empty when no such object is near.
std::vector<std::size_t> HitTest(const std::vector<ViewTransform>& views,
                                 const std::vector<DrawnObject>& objects,
                                 int xPixels,
                                 int yPixels,
                                 double tolerancePixels,
                                 int filter);

}  // namespace hostsim
