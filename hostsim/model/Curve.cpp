#include "hostsim/model/Curve.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace hostsim {

namespace {

// 8-point Gauss-Legendre rule on [-1, 1]: exact for polynomials up to degree 15, which keeps
// the arc length of a cubic piece accurate to far below the document tolerance.
constexpr std::array<double, 4> kGaussNodes = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                               0.9602898564975363};
constexpr std::array<double, 4> kGaussWeights = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                                 0.1012285362903763};

std::vector<Vec3> WithoutConsecutiveDuplicates(std::vector<Vec3> points) {
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

}  // namespace

Curve::Curve(Shape shape, std::vector<Vec3> points, std::vector<double> knots)
    : shape_(shape), points_(std::move(points)), knots_(std::move(knots)) {}

std::optional<Curve> Curve::MakeLine(Vec3 start, Vec3 end) {
    const double length = Distance(start, end);
    if (!(length > 0.0) || !std::isfinite(length)) {
        return std::nullopt;
    }
    return Curve(Shape::Line, {start, end}, {0.0, length});
}

std::optional<Curve> Curve::MakePolyline(std::vector<Vec3> points) {
    points = WithoutConsecutiveDuplicates(std::move(points));
    if (points.size() < 2) {
        return std::nullopt;
    }
    std::vector<double> knots(points.size());
    for (std::size_t i = 0; i < knots.size(); ++i) {
        knots[i] = static_cast<double>(i);
    }
    return Curve(Shape::Polyline, std::move(points), std::move(knots));
}

std::optional<Curve> Curve::MakeInterpolated(std::vector<Vec3> points, KnotStyle knotStyle, int degree) {
    points = WithoutConsecutiveDuplicates(std::move(points));
    if (points.size() < 2) {
        return std::nullopt;
    }
    std::vector<double> knots(points.size());
    knots[0] = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double chord = Distance(points[i - 1], points[i]);
        const double spacing = knotStyle == KnotStyle::Uniform     ? 1.0
                               : knotStyle == KnotStyle::SqrtChord ? std::sqrt(chord)
                                                                   : chord;
        knots[i] = knots[i - 1] + spacing;
    }
    if (!std::isfinite(knots.back())) {
        return std::nullopt;
    }
    Curve curve(Shape::Interpolated, std::move(points), std::move(knots));
    curve.degree_ = degree;
    curve.SolveSecondDerivatives();
    return curve;
}

std::optional<Curve> Curve::MakeThrough(std::vector<Vec3> points, const InterpolationOptions& options) {
    points = WithoutConsecutiveDuplicates(std::move(points));
    if (options.closed && points.size() >= 2) {
        points.push_back(points.front());
    }
    if (options.degree == 1) {
        return MakePolyline(std::move(points));
    }
    return MakeInterpolated(std::move(points), options.knots, options.degree);
}

// Natural cubic spline: for each interior knot i,
//   h[i-1] M[i-1] + 2 (h[i-1] + h[i]) M[i] + h[i] M[i+1] = 6 (slope[i] - slope[i-1]),
// with M = 0 at both ends, solved by the Thomas algorithm (the matrix is diagonally dominant).
void Curve::SolveSecondDerivatives() {
    const std::size_t n = points_.size();
    second_.assign(n, Vec3{});
    if (n < 3) {
        return;
    }
    std::vector<double> diagonal(n, 0.0);
    std::vector<double> upper(n, 0.0);
    std::vector<Vec3> rhs(n);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double hPrev = knots_[i] - knots_[i - 1];
        const double hNext = knots_[i + 1] - knots_[i];
        const Vec3 slopePrev = (1.0 / hPrev) * (points_[i] - points_[i - 1]);
        const Vec3 slopeNext = (1.0 / hNext) * (points_[i + 1] - points_[i]);
        diagonal[i] = 2.0 * (hPrev + hNext);
        upper[i] = hNext;
        rhs[i] = 6.0 * (slopeNext - slopePrev);
        if (i > 1) {
            const double factor = hPrev / diagonal[i - 1];
            diagonal[i] -= factor * upper[i - 1];
            rhs[i] = rhs[i] - factor * rhs[i - 1];
        }
    }
    for (std::size_t i = n - 2; i >= 1; --i) {
        second_[i] = (1.0 / diagonal[i]) * (rhs[i] - upper[i] * second_[i + 1]);
    }
}

bool Curve::IsClosed() const {
    return Distance(points_.front(), points_.back()) <= 1e-12 * (1.0 + Length());
}

std::size_t Curve::PieceAt(double t) const {
    const auto it = std::upper_bound(knots_.begin(), knots_.end(), t);
    if (it == knots_.begin()) {
        return 0;
    }
    const auto index = static_cast<std::size_t>(it - knots_.begin()) - 1;
    return std::min(index, PieceCount() - 1);
}

Vec3 Curve::PointAt(double t) const {
    t = std::clamp(t, DomainStart(), DomainEnd());
    const std::size_t i = PieceAt(t);
    const double h = knots_[i + 1] - knots_[i];
    const double b = (t - knots_[i]) / h;
    const double a = 1.0 - b;
    const Vec3 straight = Lerp(points_[i], points_[i + 1], b);
    if (IsStraight()) {
        return straight;
    }
    const double scale = h * h / 6.0;
    return straight + (scale * (a * a * a - a)) * second_[i] + (scale * (b * b * b - b)) * second_[i + 1];
}

Vec3 Curve::DerivativeAt(double t) const {
    t = std::clamp(t, DomainStart(), DomainEnd());
    return DerivativeInPiece(PieceAt(t), t);
}

Vec3 Curve::DerivativeInPiece(std::size_t i, double t) const {
    const double h = knots_[i + 1] - knots_[i];
    const Vec3 slope = (1.0 / h) * (points_[i + 1] - points_[i]);
    if (IsStraight()) {
        return slope;
    }
    const double b = (t - knots_[i]) / h;
    const double a = 1.0 - b;
    return slope + (h / 6.0) * ((1.0 - 3.0 * a * a) * second_[i] + (3.0 * b * b - 1.0) * second_[i + 1]);
}

Vec3 Curve::SecondDerivativeAt(double t) const {
    if (IsStraight()) {
        return Vec3{};
    }
    t = std::clamp(t, DomainStart(), DomainEnd());
    const std::size_t i = PieceAt(t);
    const double b = (t - knots_[i]) / (knots_[i + 1] - knots_[i]);
    return (1.0 - b) * second_[i] + b * second_[i + 1];
}

double Curve::PieceLength(std::size_t piece, double from, double to) const {
    if (IsStraight()) {
        const double h = knots_[piece + 1] - knots_[piece];
        return Distance(points_[piece], points_[piece + 1]) * (to - from) / h;
    }
    const double half = 0.5 * (to - from);
    const double middle = 0.5 * (to + from);
    double sum = 0.0;
    for (std::size_t k = 0; k < kGaussNodes.size(); ++k) {
        sum += kGaussWeights[k] * (hostsim::Length(DerivativeInPiece(piece, middle - half * kGaussNodes[k])) +
                                   hostsim::Length(DerivativeInPiece(piece, middle + half * kGaussNodes[k])));
    }
    return half * sum;
}

// Built on first use: a curve drawn from a long command text is rarely measured.
void Curve::BuildLengthTable() const {
    if (!lengthTable_.empty()) {
        return;
    }
    lengthTable_.assign(points_.size(), 0.0);
    for (std::size_t i = 0; i < PieceCount(); ++i) {
        lengthTable_[i + 1] = lengthTable_[i] + PieceLength(i, knots_[i], knots_[i + 1]);
    }
}

double Curve::Length() const {
    BuildLengthTable();
    return lengthTable_.back();
}

double Curve::ParameterAtLength(double length) const {
    if (length <= 0.0) {
        return DomainStart();
    }
    if (length >= Length()) {
        return DomainEnd();
    }
    BuildLengthTable();
    const auto it = std::upper_bound(lengthTable_.begin(), lengthTable_.end(), length);
    const std::size_t piece = std::min(static_cast<std::size_t>(it - lengthTable_.begin()) - 1, PieceCount() - 1);
    const double pieceLength = lengthTable_[piece + 1] - lengthTable_[piece];
    const double wanted = length - lengthTable_[piece];
    double low = knots_[piece];
    double high = knots_[piece + 1];
    double t = low + (high - low) * (pieceLength > 0.0 ? wanted / pieceLength : 0.0);
    if (IsStraight()) {
        return t;
    }
    // Newton on the arc length inside the piece, kept inside a shrinking bracket so that a
    // step that overshoots falls back to bisection.
    for (int iteration = 0; iteration < 60; ++iteration) {
        const double error = PieceLength(piece, knots_[piece], t) - wanted;
        if (std::fabs(error) <= 1e-13 * (1.0 + Length())) {
            break;
        }
        if (error > 0.0) {
            high = t;
        } else {
            low = t;
        }
        const double speed = hostsim::Length(DerivativeAt(t));
        double next = speed > 0.0 ? t - error / speed : 0.5 * (low + high);
        if (!(next > low && next < high)) {
            next = 0.5 * (low + high);
        }
        t = next;
    }
    return t;
}

std::vector<Vec3> Curve::ShapeSamples() const {
    if (IsStraight()) {
        return points_;
    }
    std::vector<Vec3> samples;
    samples.reserve(points_.size() * 4);
    for (std::size_t i = 0; i < PieceCount(); ++i) {
        samples.push_back(points_[i]);
        const double h = knots_[i + 1] - knots_[i];
        for (const double fraction : {0.25, 0.5, 0.75}) {
            samples.push_back(PointAt(knots_[i] + fraction * h));
        }
    }
    samples.push_back(points_.back());
    return samples;
}

}  // namespace hostsim
