#include "hostsim/server/ViewportPainter.h"

#include <cmath>

#include "hostsim/server/GdiResource.h"

namespace hostsim {

namespace {

constexpr COLORREF kFrameColor = RGB(100, 100, 100);
constexpr COLORREF kViewColor = RGB(190, 190, 190);
constexpr COLORREF kMinorGridColor = RGB(176, 176, 176);
constexpr COLORREF kMajorGridColor = RGB(150, 150, 150);
constexpr COLORREF kObjectColor = RGB(0, 0, 0);
constexpr COLORREF kSelectedColor = RGB(255, 255, 0);
constexpr COLORREF kLockedColor = RGB(128, 128, 128);
constexpr int kPointHalfPixels = 3;
// Smallest distance between grid lines on screen.
constexpr double kMinimumGridPixels = 12.0;

// A grid step of 1, 2 or 5 times a power of ten that puts lines at least kMinimumGridPixels apart.
double GridStep(double pixelsPerUnit) {
    const double wanted = kMinimumGridPixels / pixelsPerUnit;
    double step = std::pow(10.0, std::floor(std::log10(wanted)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (step * factor >= wanted) {
            return step * factor;
        }
    }
    return step * 10.0;
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

RECT ToRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

int Round(double pixels) {
    return static_cast<int>(std::lround(pixels));
}

void PaintGrid(HDC dc, const ViewTransform& view) {
    const RECT r = ToRect(view.rect);
    const double step = GridStep(view.pixelsPerUnit);
    const double halfWidthUnits = (r.right - r.left) / 2.0 / view.pixelsPerUnit;
    const double halfHeightUnits = (r.bottom - r.top) / 2.0 / view.pixelsPerUnit;
    const double midX = (r.left + r.right) / 2.0;
    const double midY = (r.top + r.bottom) / 2.0;
    GdiObject<HPEN> minor(CreatePen(PS_SOLID, 1, kMinorGridColor));
    GdiObject<HPEN> major(CreatePen(PS_SOLID, 1, kMajorGridColor));
    const long long firstU = static_cast<long long>(std::floor((view.centerU - halfWidthUnits) / step));
    const long long lastU = static_cast<long long>(std::ceil((view.centerU + halfWidthUnits) / step));
    for (long long i = firstU; i <= lastU; ++i) {
        SelectionScope pen(dc, i % 5 == 0 ? major.Get() : minor.Get());
        const int x = Round(midX + (static_cast<double>(i) * step - view.centerU) * view.pixelsPerUnit);
        Line(dc, x, r.top, x, r.bottom);
    }
    const long long firstV = static_cast<long long>(std::floor((view.centerV - halfHeightUnits) / step));
    const long long lastV = static_cast<long long>(std::ceil((view.centerV + halfHeightUnits) / step));
    for (long long i = firstV; i <= lastV; ++i) {
        SelectionScope pen(dc, i % 5 == 0 ? major.Get() : minor.Get());
        const int y = Round(midY - (static_cast<double>(i) * step - view.centerV) * view.pixelsPerUnit);
        Line(dc, r.left, y, r.right, y);
    }
}

// The world axes through the origin: x red, y green, z blue, as the host colours them.
void PaintAxes(HDC dc, const ViewTransform& view) {
    const double reach = 1e6;
    const struct {
        Vec3 direction;
        COLORREF color;
    } axes[] = {{{1, 0, 0}, RGB(150, 0, 0)}, {{0, 1, 0}, RGB(0, 150, 0)}, {{0, 0, 1}, RGB(0, 0, 150)}};
    for (const auto& axis : axes) {
        const ScreenPoint a = view.ToScreen(-reach * axis.direction);
        const ScreenPoint b = view.ToScreen(reach * axis.direction);
        if (std::abs(a.xPixels - b.xPixels) < 1.0 && std::abs(a.yPixels - b.yPixels) < 1.0) {
            continue;  // The axis points straight at the viewer.
        }
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, axis.color));
        SelectionScope scope(dc, pen.Get());
        // Clipped by the region of the view; GDI coordinates must stay within 32 bits.
        const auto clamp = [](double v) { return Round(std::fmax(-1e7, std::fmin(1e7, v))); };
        Line(dc, clamp(a.xPixels), clamp(a.yPixels), clamp(b.xPixels), clamp(b.yPixels));
    }
}

void PaintObject(HDC dc, const ViewTransform& view, const DrawnObject& object, bool highlight) {
    const std::vector<ScreenPoint> shape = ScreenShape(view, object);
    if (shape.empty()) {
        return;
    }
    const COLORREF color = highlight ? kSelectedColor : (object.locked ? kLockedColor : kObjectColor);
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, highlight ? 2 : 1, color));
    SelectionScope penScope(dc, pen.Get());
    if (object.isPoint) {
        const int x = Round(shape.front().xPixels);
        const int y = Round(shape.front().yPixels);
        GdiObject<HBRUSH> brush(CreateSolidBrush(color));
        SelectionScope brushScope(dc, highlight ? brush.Get() : GetStockObject(NULL_BRUSH));
        Rectangle(dc, x - kPointHalfPixels, y - kPointHalfPixels, x + kPointHalfPixels + 1, y + kPointHalfPixels + 1);
        return;
    }
    std::vector<POINT> points;
    points.reserve(shape.size());
    for (const ScreenPoint& p : shape) {
        points.push_back(
            {Round(std::fmax(-1e7, std::fmin(1e7, p.xPixels))), Round(std::fmax(-1e7, std::fmin(1e7, p.yPixels)))});
    }
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

void PaintTitle(HDC dc, const ViewTransform& view, bool active) {
    const char* name = ViewName(view.kind);
    const int length = static_cast<int>(std::char_traits<char>::length(name));
    SelectionScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
    const int x = view.rect.left + 6;
    const int y = view.rect.top + 4;
    if (active) {
        SIZE extent{};
        // A failed measurement leaves the label at its padding only.
        (void)GetTextExtentPoint32A(dc, name, length, &extent);
        const RECT label{x - 3, y - 1, x + extent.cx + 3, y + extent.cy + 1};
        GdiObject<HBRUSH> back(CreateSolidBrush(kActiveTitleBackColor));
        FillRect(dc, &label, back.Get());
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, active ? kActiveTitleColor : RGB(0, 0, 0));
    TextOutA(dc, x, y, name, length);
}

void PaintView(HDC dc,
               const ViewTransform& view,
               bool active,
               const std::vector<DrawnObject>& objects,
               const std::set<std::string>& highlighted) {
    const RECT r = ToRect(view.rect);
    GdiObject<HBRUSH> background(CreateSolidBrush(kViewColor));
    FillRect(dc, &r, background.Get());
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    PaintGrid(dc, view);
    PaintAxes(dc, view);
    // Highlighted objects are drawn last so they stay visible over the others.
    for (const bool highlightPass : {false, true}) {
        for (const DrawnObject& object : objects) {
            const bool highlight = object.selected || highlighted.count(object.id) != 0;
            if (highlight == highlightPass) {
                PaintObject(dc, view, object, highlight);
            }
        }
    }
    PaintTitle(dc, view, active);
    RestoreDC(dc, saved);
    GdiObject<HBRUSH> frame(CreateSolidBrush(kFrameColor));
    FrameRect(dc, &r, frame.Get());
}

}  // namespace

void PaintViewports(HDC dc,
                    int widthPixels,
                    int heightPixels,
                    const std::vector<ViewTransform>& views,
                    ViewKind activeView,
                    const std::vector<DrawnObject>& objects,
                    const std::set<std::string>& highlighted) {
    const RECT all{0, 0, widthPixels, heightPixels};
    FillRect(dc, &all, GetSysColorBrush(COLOR_APPWORKSPACE));
    for (const ViewTransform& view : views) {
        PaintView(dc, view, view.kind == activeView, objects, highlighted);
    }
}

}  // namespace hostsim
