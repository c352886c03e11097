#pragma once

#include <vector>

#include "hostsim/server/Viewports.h"

namespace hostsim {

class Document;

// What the viewports show of the document, in the order the objects were added (hidden ones
// left out, locked ones marked): points as
// themselves, curves as polylines (straight pieces as they are, each interpolated piece cut
// into short chords).
std::vector<DrawnObject> DocumentSnapshot(const Document& document);

}  // namespace hostsim
