#include "hostsim/server/Viewports.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "hostsim/model/Document.h"

namespace hostsim {

namespace {

constexpr int kGapPixels = 2;
constexpr double kMarginFraction = 0.1;
constexpr double kMinimumSpanUnits = 20.0;
// Axonometric directions of the perspective view: 30 degrees.
constexpr double kCos30 = 0.86602540378443865;
constexpr double kSin30 = 0.5;

bool Inside(const PixelRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

double SegmentDistance(ScreenPoint p, ScreenPoint a, ScreenPoint b) {
    const double dx = b.xPixels - a.xPixels;
    const double dy = b.yPixels - a.yPixels;
    const double lengthSquared = dx * dx + dy * dy;
    double t = 0.0;
    if (lengthSquared > 0.0) {
        t = ((p.xPixels - a.xPixels) * dx + (p.yPixels - a.yPixels) * dy) / lengthSquared;
        t = std::clamp(t, 0.0, 1.0);
    }
    const double cx = a.xPixels + t * dx - p.xPixels;
    const double cy = a.yPixels + t * dy - p.yPixels;
    return std::sqrt(cx * cx + cy * cy);
}

ViewTransform FitView(ViewKind kind, PixelRect rect, const std::vector<DrawnObject>& objects) {
    double minU = std::numeric_limits<double>::infinity();
    double maxU = -minU;
    double minV = minU;
    double maxV = -minU;
    for (const DrawnObject& object : objects) {
        for (const Vec3& p : object.shape) {
            double u = 0.0;
            double v = 0.0;
            ProjectToPlane(kind, p, u, v);
            minU = std::min(minU, u);
            maxU = std::max(maxU, u);
            minV = std::min(minV, v);
            maxV = std::max(maxV, v);
        }
    }
    if (!(minU <= maxU)) {
        minU = minV = 0.0;
        maxU = maxV = 0.0;
    }
    ViewTransform view;
    view.kind = kind;
    view.rect = rect;
    view.centerU = (minU + maxU) / 2.0;
    view.centerV = (minV + maxV) / 2.0;
    const double spanU = std::max(maxU - minU, kMinimumSpanUnits) * (1.0 + 2.0 * kMarginFraction);
    const double spanV = std::max(maxV - minV, kMinimumSpanUnits) * (1.0 + 2.0 * kMarginFraction);
    const double width = std::max(rect.right - rect.left, 1);
    const double height = std::max(rect.bottom - rect.top, 1);
    view.pixelsPerUnit = std::min(width / spanU, height / spanV);
    return view;
}

}  // namespace

ScreenPoint ViewTransform::ToScreen(Vec3 world) const {
    double u = 0.0;
    double v = 0.0;
    ProjectToPlane(kind, world, u, v);
    const double midX = (rect.left + rect.right) / 2.0;
    const double midY = (rect.top + rect.bottom) / 2.0;
    return {midX + (u - centerU) * pixelsPerUnit, midY - (v - centerV) * pixelsPerUnit};
}

void ProjectToPlane(ViewKind kind, Vec3 world, double& u, double& v) {
    switch (kind) {
        case ViewKind::Top:
            u = world.x;
            v = world.y;
            return;
        case ViewKind::Front:
            u = world.x;
            v = world.z;
            return;
        case ViewKind::Right:
            u = world.y;
            v = world.z;
            return;
        case ViewKind::Perspective:
            u = (world.x + world.y) * kCos30;
            v = world.z + (world.y - world.x) * kSin30;
            return;
    }
}

std::vector<ViewTransform> LayoutViews(int widthPixels, int heightPixels, const std::vector<DrawnObject>& objects) {
    const int midX = widthPixels / 2;
    const int midY = heightPixels / 2;
    const int half = kGapPixels / 2;
    return {
        FitView(ViewKind::Top, {0, 0, midX - half, midY - half}, objects),
        FitView(ViewKind::Perspective, {midX + half, 0, widthPixels, midY - half}, objects),
        FitView(ViewKind::Front, {0, midY + half, midX - half, heightPixels}, objects),
        FitView(ViewKind::Right, {midX + half, midY + half, widthPixels, heightPixels}, objects),
    };
}

std::vector<ScreenPoint> ScreenShape(const ViewTransform& view, const DrawnObject& object) {
    std::vector<ScreenPoint> points;
    points.reserve(object.shape.size());
    for (const Vec3& p : object.shape) {
        points.push_back(view.ToScreen(p));
    }
    return points;
}

bool FilterAllows(int filter, const DrawnObject& object) {
    // The scripted picks answer by the same rule, so a click and a queued pick agree.
    if (object.isPoint) {
        return PickFilterAllows(filter, ObjectKind::Point);
    }
    return object.isCurve ? PickFilterAllows(filter, ObjectKind::Curve) : filter == 0;
}

const ViewTransform* ViewAt(const std::vector<ViewTransform>& views, int xPixels, int yPixels) {
    const ViewTransform* view = nullptr;
    for (const ViewTransform& candidate : views) {
        if (Inside(candidate.rect, xPixels, yPixels)) {
            view = &candidate;
        }
    }
    return view;
}

std::vector<std::size_t> HitTest(const std::vector<ViewTransform>& views,
                                 const std::vector<DrawnObject>& objects,
                                 int xPixels,
                                 int yPixels,
                                 double tolerancePixels,
                                 int filter) {
    const ViewTransform* view = ViewAt(views, xPixels, yPixels);
    if (!view) {
        return {};
    }
    const ScreenPoint click{static_cast<double>(xPixels), static_cast<double>(yPixels)};
    std::vector<std::pair<double, std::size_t>> hits;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        // A locked object is drawn but cannot be picked.
        if (!FilterAllows(filter, objects[i]) || objects[i].shape.empty() || objects[i].locked) {
            continue;
        }
        const std::vector<ScreenPoint> shape = ScreenShape(*view, objects[i]);
        double distance = SegmentDistance(click, shape.front(), shape.front());
        for (std::size_t k = 1; k < shape.size(); ++k) {
            distance = std::min(distance, SegmentDistance(click, shape[k - 1], shape[k]));
        }
        if (distance <= tolerancePixels) {
            hits.emplace_back(distance, i);
        }
    }
    // Ties go to the later object, the one drawn on top.
    std::sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) {
        return a.first < b.first || (a.first == b.first && a.second > b.second);
    });
    std::vector<std::size_t> indexes;
    for (const auto& hit : hits) {
        indexes.push_back(hit.second);
    }
    return indexes;
}

}  // namespace hostsim
