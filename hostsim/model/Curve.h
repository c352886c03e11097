#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "hostsim/model/Vec3.h"

namespace hostsim {

// How an interpolated curve's knots are spaced (InterpCrv's option Knots): 1 apart, by the
// chord between consecutive points, or by that chord's square root.
enum class KnotStyle { Uniform, Chord, SqrtChord };

// The options InterpCrv remembers between runs, as a user may have left them: Degree (1 draws a
// polyline through the points), Knots, and PersistentClose (the curve closes back to its first
// point). The host's defaults: 3, Chord, No.
struct InterpolationOptions {
    int degree = 3;
    KnotStyle knots = KnotStyle::Chord;
    bool closed = false;
};

// A curve of the document: a polyline (a line being a polyline of two vertices) or a cubic
// curve interpolated through points. Vertex or through-point i sits at parameter knot i:
//   - line: knots 0 and its length (the host's line curves run over [0, length]);
//   - polyline: knots 0, 1, ..., n - 1;
//   - interpolated curve: cumulative chord lengths from 0; the curve is a natural cubic spline
//     per coordinate over those knots (second derivative 0 at both ends), so it is C2,
//     passes through every point, and is planar when its points are.
// Consecutive duplicate points are dropped when the curve is made.
class Curve {
  public:
    enum class Shape { Line, Polyline, Interpolated };

    // Each returns nothing when fewer than two distinct consecutive points remain.
    static std::optional<Curve> MakeLine(Vec3 start, Vec3 end);
    static std::optional<Curve> MakePolyline(std::vector<Vec3> points);
    // Linear in the number of points (tridiagonal solve). Any `degree` is kept as the curve's
    // degree; the shape is the natural cubic spline over knots spaced as `knots` says.
    static std::optional<Curve> MakeInterpolated(std::vector<Vec3> points,
                                                 KnotStyle knots = KnotStyle::Chord,
                                                 int degree = 3);
    // The curve InterpCrv draws through `points` with `options`: degree 1 a polyline, any other
    // an interpolated curve; closed, the first point is appended after the last.
    static std::optional<Curve> MakeThrough(std::vector<Vec3> points, const InterpolationOptions& options);

    Shape GetShape() const { return shape_; }
    // The vertices (line, polyline) or through-points (interpolated curve).
    const std::vector<Vec3>& Points() const { return points_; }
    double DomainStart() const { return knots_.front(); }
    double DomainEnd() const { return knots_.back(); }
    bool IsClosed() const;
    // 1 for lines and polylines; an interpolated curve's as it was made (3 unless asked).
    int Degree() const { return degree_; }

    // Number of pieces (points - 1); piece i spans knots i to i + 1 and is straight unless
    // the curve is interpolated.
    std::size_t PieceCount() const { return points_.size() - 1; }
    double Knot(std::size_t i) const { return knots_[i]; }
    bool IsStraight() const { return shape_ != Shape::Interpolated; }

    // Position and derivatives at parameter t, clamped to the domain.
    Vec3 PointAt(double t) const;
    Vec3 DerivativeAt(double t) const;
    Vec3 SecondDerivativeAt(double t) const;
    // Piece holding parameter t (the last piece for the domain end).
    std::size_t PieceAt(double t) const;

    // Total arc length, and the parameter at an arc length from the start (clamped).
    double Length() const;
    double ParameterAtLength(double length) const;

    // Points that lie on the curve and bound how far it strays between them: the vertices of a
    // polyline; for an interpolated curve its through-points plus interior samples of each
    // piece. Used for planarity tests.
    std::vector<Vec3> ShapeSamples() const;

  private:
    Curve(Shape shape, std::vector<Vec3> points, std::vector<double> knots);
    void SolveSecondDerivatives();
    void BuildLengthTable() const;
    double PieceLength(std::size_t piece, double from, double to) const;
    // Derivative by the polynomial of piece i, for t inside it (no search for the piece).
    Vec3 DerivativeInPiece(std::size_t i, double t) const;

    Shape shape_;
    int degree_ = 1;
    std::vector<Vec3> points_;
    std::vector<double> knots_;
    std::vector<Vec3> second_;                 // second derivatives at the knots (interpolated curves)
    mutable std::vector<double> lengthTable_;  // arc length from the start to knot i; built on first use
};

}  // namespace hostsim
