#pragma once

namespace common {

// A point in the host's model units: x, y, z as the host answers them at indexes 0, 1, 2.
struct HostPoint {
    double x = 0;
    double y = 0;
    double z = 0;

    friend bool operator==(const HostPoint&, const HostPoint&) = default;
};

}  // namespace common
