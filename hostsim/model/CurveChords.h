#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "hostsim/model/Curve.h"
#include "hostsim/model/Vec3.h"

namespace hostsim {

// The first step of intersecting two curves: each curve as a row of straight chords, and a
// box tree over one curve's chords to find those near a chord of the other.

// A straight stand-in for part of a curve: exact for straight pieces; for an interpolated
// piece a chord whose distance from the true curve is at most `slack`.
struct Segment {
    Vec3 p0;
    Vec3 p1;
    double t0 = 0.0;  // curve parameters at p0 and p1
    double t1 = 0.0;
    double slack = 0.0;
    std::size_t piece = 0;
};

// An axis-aligned bounding box; empty until something is added.
struct Box {
    Vec3 low{HUGE_VAL, HUGE_VAL, HUGE_VAL};
    Vec3 high{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};

    void Add(Vec3 p, double margin) {
        low = {std::min(low.x, p.x - margin), std::min(low.y, p.y - margin), std::min(low.z, p.z - margin)};
        high = {std::max(high.x, p.x + margin), std::max(high.y, p.y + margin), std::max(high.z, p.z + margin)};
    }
    void Add(const Box& other) {
        Add(other.low, 0.0);
        Add(other.high, 0.0);
    }
    bool Touches(const Box& other, double gap) const {
        return low.x <= other.high.x + gap && other.low.x <= high.x + gap && low.y <= other.high.y + gap &&
               other.low.y <= high.y + gap && low.z <= other.high.z + gap && other.low.z <= high.z + gap;
    }
};

// The box around a chord, widened by its slack.
Box SegmentBox(const Segment& s);

// Chords of a curve, in order along it: one per straight piece; an interpolated piece cut
// so that each chord strays from the curve by at most a tenth of the tolerance.
std::vector<Segment> Flatten(const Curve& curve, double tolerance);

// Bounding-box tree over consecutive segments, which lie near each other along a curve.
class SegmentTree {
  public:
    explicit SegmentTree(const std::vector<Segment>& segments) : segments_(segments) {
        if (!segments.empty()) {
            Build(0, segments.size());
        }
    }

    template <typename Visit>
    void Query(const Box& box, double gap, Visit&& visit) const {
        if (!nodes_.empty()) {
            QueryNode(0, box, gap, visit);
        }
    }

  private:
    struct Node {
        Box box;
        std::size_t begin = 0;
        std::size_t end = 0;
        std::size_t left = 0;  // 0: leaf
        std::size_t right = 0;
    };

    std::size_t Build(std::size_t begin, std::size_t end) {
        const std::size_t index = nodes_.size();
        nodes_.push_back({Box{}, begin, end, 0, 0});
        if (end - begin <= 4) {
            Box box;
            for (std::size_t i = begin; i < end; ++i) {
                box.Add(SegmentBox(segments_[i]));
            }
            nodes_[index].box = box;
            return index;
        }
        const std::size_t middle = begin + (end - begin) / 2;
        const std::size_t left = Build(begin, middle);
        const std::size_t right = Build(middle, end);
        Box box = nodes_[left].box;
        box.Add(nodes_[right].box);
        nodes_[index].box = box;
        nodes_[index].left = left;
        nodes_[index].right = right;
        return index;
    }

    template <typename Visit>
    void QueryNode(std::size_t index, const Box& box, double gap, Visit& visit) const {
        const Node& node = nodes_[index];
        if (!node.box.Touches(box, gap)) {
            return;
        }
        if (node.left == 0) {
            for (std::size_t i = node.begin; i < node.end; ++i) {
                visit(i);
            }
            return;
        }
        QueryNode(node.left, box, gap, visit);
        QueryNode(node.right, box, gap, visit);
    }

    const std::vector<Segment>& segments_;
    std::vector<Node> nodes_;
};

// Closest points of segments p0-p1 and q0-q1, as fractions along each (Ericson, "Real-Time
// Collision Detection", 5.1.9).
void ClosestFractions(Vec3 p0, Vec3 p1, Vec3 q0, Vec3 q1, double& s, double& t);

// The curve parameter at a fraction along a chord.
inline double ParameterAt(const Segment& s, double fraction) {
    return s.t0 + fraction * (s.t1 - s.t0);
}

}  // namespace hostsim
