#include "hostsim/model/Planarity.h"

namespace hostsim {

namespace {

bool AllNear(const std::vector<Vec3>& points, Vec3 origin, Vec3 unitNormal, double tolerance) {
    for (const Vec3& p : points) {
        const double distance = Dot(p - origin, unitNormal);
        if (!(distance <= tolerance && distance >= -tolerance)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsPlanar(const std::vector<Vec3>& points, double tolerance) {
    if (points.size() < 3) {
        return true;
    }
    const Vec3 a = points.front();
    Vec3 b = a;
    for (const Vec3& p : points) {
        if (Distance(p, a) > Distance(b, a)) {
            b = p;
        }
    }
    const Vec3 direction = b - a;
    const double directionLength = Length(direction);
    if (directionLength <= tolerance) {
        return true;
    }
    Vec3 c = a;
    double farthest = 0.0;
    for (const Vec3& p : points) {
        const double distance = Length(Cross(p - a, direction)) / directionLength;
        if (distance > farthest) {
            farthest = distance;
            c = p;
        }
    }
    if (farthest <= tolerance) {
        return true;
    }
    const Vec3 normal = Cross(direction, c - a);
    return AllNear(points, a, (1.0 / Length(normal)) * normal, tolerance);
}

bool LiesInPlane(const std::vector<Vec3>& points, Vec3 origin, Vec3 xAxis, Vec3 yAxis, double tolerance) {
    const Vec3 normal = Cross(xAxis, yAxis);
    const double normalLength = Length(normal);
    if (!(normalLength > 1e-12 * Length(xAxis) * Length(yAxis))) {
        return false;
    }
    return AllNear(points, origin, (1.0 / normalLength) * normal, tolerance);
}

}  // namespace hostsim
