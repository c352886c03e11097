#include "BenchDocument.h"

#include "hostsim/model/Document.h"
#include "hostsim/model/Scene.h"

namespace bench {

TypicalCurves AddTypicalCurves(hostsim::ScriptApi& api) {
    hostsim::Document& document = api.Doc();
    (void)hostsim::ApplySceneLine(document, "line 0 -40 0 0 40 0");  // the picked line: present, unused
    TypicalCurves curves;
    curves.xyId = hostsim::ApplySceneLine(document, "polyline -30 -60 0 -18 5 0 -32 60 0").value();
    curves.yzId = hostsim::ApplySceneLine(document, "polyline 0 -60 30 0 -10 14 0 60 28").value();
    return curves;
}

std::vector<std::string> AddBasePoints(hostsim::ScriptApi& api, std::size_t count) {
    std::vector<std::string> ids;
    ids.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double y = count > 1 ? -40.0 + 80.0 * static_cast<double>(i) / static_cast<double>(count - 1) : 0.0;
        ids.push_back(api.Doc().AddPoint(hostsim::Vec3{0, y, 0}));
    }
    return ids;
}

}  // namespace bench
