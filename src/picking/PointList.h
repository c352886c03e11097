#pragma once

#include <string>

#include "common/PanelSurface.h"
#include "host/HostScript.h"

namespace picking {

// Appends `id` to List1 unless a row equal to it ignoring letter case is listed already.
// Returns true when it was appended. Constant time per id, whatever the list's length.
bool AddPointId(common::PanelSurface& panel, const std::string& id);

// Command8 "Pick Points": hides the status label, lets the user pick points in the host
// (prompt "Pick points", filter 1) and appends every picked point not listed yet, in the
// host's order. A cancelled pick leaves the list as it was. Host errors pass to the caller
// as common::HostError; rows appended before the failure stay.
void PickPoints(host::HostScript& script, common::PanelSurface& panel);

// Command1 "SelAllPts": hides the status label, appends every point object of the document
// not listed yet, then shows "<n> points added!" where n counts every point found, listed
// before or not. A document without objects counts 0. Any number of objects is walked.
// Returns n.
std::size_t SelectAllPoints(host::HostScript& script, common::PanelSurface& panel);

// Command3 "Del All pts": hides the status label and empties List1. Asks nothing of the host.
void DeleteAllPoints(common::PanelSurface& panel);

}  // namespace picking
