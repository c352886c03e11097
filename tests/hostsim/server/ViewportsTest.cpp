#include "hostsim/server/Viewports.h"

#include <gtest/gtest.h>

namespace hostsim {
namespace {

DrawnObject PointObject(const char* id, Vec3 p) {
    DrawnObject o;
    o.id = id;
    o.isPoint = true;
    o.shape = {p};
    return o;
}

DrawnObject CurveObject(const char* id, std::vector<Vec3> shape) {
    DrawnObject o;
    o.id = id;
    o.isCurve = true;
    o.shape = std::move(shape);
    return o;
}

TEST(ViewportsTest, FilterBitsSelectKinds) {
    const DrawnObject point = PointObject("p", {0, 0, 0});
    const DrawnObject curve = CurveObject("c", {{0, 0, 0}, {1, 0, 0}});
    const struct {
        int filter;
        bool point;
        bool curve;
    } kCases[] = {{0, true, true}, {1, true, false}, {4, false, true}, {5, true, true}, {8, false, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(FilterAllows(c.filter, point), c.point);
        EXPECT_EQ(FilterAllows(c.filter, curve), c.curve);
    }
}

TEST(ViewportsTest, LayoutPutsTheFourViewsInQuadrantsAndFitsTheDocument) {
    const std::vector<DrawnObject> objects = {PointObject("a", {-100, -50, 0}), PointObject("b", {300, 150, 40})};
    const std::vector<ViewTransform> views = LayoutViews(1000, 600, objects);
    ASSERT_EQ(views.size(), 4u);
    EXPECT_EQ(views[0].kind, ViewKind::Top);
    EXPECT_EQ(views[1].kind, ViewKind::Perspective);
    EXPECT_EQ(views[2].kind, ViewKind::Front);
    EXPECT_EQ(views[3].kind, ViewKind::Right);
    EXPECT_EQ(views[3].rect.right, 1000);
    EXPECT_EQ(views[3].rect.bottom, 600);
    EXPECT_LT(views[0].rect.right, views[1].rect.left) << "a gap separates the views";
    for (const ViewTransform& view : views) {
        SCOPED_TRACE(ViewName(view.kind));
        for (const DrawnObject& o : objects) {
            const ScreenPoint p = view.ToScreen(o.shape.front());
            EXPECT_GT(p.xPixels, view.rect.left);
            EXPECT_LT(p.xPixels, view.rect.right);
            EXPECT_GT(p.yPixels, view.rect.top);
            EXPECT_LT(p.yPixels, view.rect.bottom);
        }
    }
    // y grows downwards on screen: a larger world y is drawn higher in Top.
    EXPECT_LT(views[0].ToScreen({0, 10, 0}).yPixels, views[0].ToScreen({0, 0, 0}).yPixels);
}

TEST(ViewportsTest, EmptyDocumentShowsTheOriginAtTheCentre) {
    const std::vector<ViewTransform> views = LayoutViews(800, 600, {});
    const ScreenPoint origin = views[0].ToScreen({0, 0, 0});
    EXPECT_DOUBLE_EQ(origin.xPixels, (views[0].rect.left + views[0].rect.right) / 2.0);
    EXPECT_DOUBLE_EQ(origin.yPixels, (views[0].rect.top + views[0].rect.bottom) / 2.0);
    EXPECT_GT(views[0].pixelsPerUnit, 0.0);
}

TEST(ViewportsTest, HitTestListsTheAllowedObjectsNearTheClickNearestFirst) {
    const std::vector<DrawnObject> objects = {
        PointObject("near", {0, 0, 0}),
        CurveObject("line", {{-10, 1, 0}, {10, 1, 0}}),
        PointObject("far", {10, 10, 0}),
        PointObject("beside", {0.2, 0, 0}),
    };
    const std::vector<ViewTransform> views = LayoutViews(1000, 600, objects);
    const ScreenPoint origin = views[0].ToScreen({0, 0, 0});
    const ScreenPoint onLine = views[0].ToScreen({5, 1, 0});
    const int ox = static_cast<int>(origin.xPixels);
    const int oy = static_cast<int>(origin.yPixels);
    const struct {
        const char* name;
        int x;
        int y;
        int filter;
        std::vector<std::size_t> expected;
    } kCases[] = {
        {"on the point, another one near: the nearest first", ox, oy, 0, {0, 3}},
        {"on the line, curves only", static_cast<int>(onLine.xPixels), static_cast<int>(onLine.yPixels), 4, {1}},
        {"on the line, points only", static_cast<int>(onLine.xPixels), static_cast<int>(onLine.yPixels), 1, {}},
        {"outside every view", 1000, 600, 0, {}},
        {"in the gap between views", views[0].rect.right, oy, 0, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HitTest(views, objects, c.x, c.y, 5.0, c.filter), c.expected);
    }
}

}  // namespace
}  // namespace hostsim
