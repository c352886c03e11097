#include "hostsim/model/ConstructionPlane.h"

#include "hostsim/model/TextScan.h"

namespace hostsim {

namespace {

constexpr ViewKind kViews[] = {ViewKind::Top, ViewKind::Front, ViewKind::Right, ViewKind::Perspective};

}  // namespace

const char* ViewName(ViewKind kind) {
    switch (kind) {
        case ViewKind::Top:
            return "Top";
        case ViewKind::Front:
            return "Front";
        case ViewKind::Right:
            return "Right";
        case ViewKind::Perspective:
            return "Perspective";
    }
    return "";
}

std::optional<ViewKind> ParseViewName(std::string_view name) {
    for (const ViewKind kind : kViews) {
        if (EqualsIgnoringCase(name, ViewName(kind))) {
            return kind;
        }
    }
    return std::nullopt;
}

ConstructionPlane StandardPlane(ViewKind kind) {
    switch (kind) {
        case ViewKind::Front:
            return {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
        case ViewKind::Right:
            return {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}};
        case ViewKind::Top:
        case ViewKind::Perspective:
            break;
    }
    return {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
}

Vec3 PlaneToWorld(const ConstructionPlane& plane, Vec3 typed) {
    return plane.origin + typed.x * plane.xAxis + typed.y * plane.yAxis + typed.z * plane.normal;
}

}  // namespace hostsim
