#pragma once

#include "common/PanelSurface.h"
#include "host/HostScript.h"
#include "host/LeftInHost.h"

namespace construct {

// The click action of Command4 ("Generate Curtate Cycloid"): for every entry of List1 that
// the host reports as a point, measures the XY curve (Text1) and the YZ curve (Text2) from
// the point with two temporary probe lines, and has the host draw one curtate cycloid
// through the samples for the step of Text3 and the both-sides flag of Check1.
//
// Status label: red "Calculating Curtate cycloid..." at the start, the entry's 1-based
// number while it works, blue "Curtate cycloid - DONE!" at the normal end. Pending window
// messages run right after the red caption and right after the blue one; a click handled
// there may empty the list or run another generation, and the run stays within the list's
// current rows.
//
// After each command the host answers with Boolean true, the host is asked for the objects the
// command created (LastCreatedObjects, a question a busy host fails at once); an answer that
// lists none (Null, not an array, an empty array) means the curve was not drawn. A host that
// does not know the question or fails it leaves the true answer standing. So a run makes one
// call more per drawn curve than its probes and command need.
//
// A probe that misses its curve, a step that cannot be sampled (0, NaN, or so small that one
// curve would have more than a million points), a curve with a coordinate that is not finite
// (its curves lie too far from the point), or a curve not drawn (the host does not answer the
// command with Boolean true, as for the empty command of a negative step, or lists no object
// it created) ends the run with a message, the last two naming the point, the last with the
// reason from the host's result code of the command (LastCommandResult) when it gives one;
// the entry's probe lines are deleted and redraw is switched on, the curves drawn so far stay,
// and the status keeps the entry's number.
//
// A probe line the host refuses to delete (DeleteObject answers false) is noted in `leftInHost`,
// the command's own, and ends the run after its entry, with redraw switched on, the entry's
// curve kept and the status keeping the entry's number.
//
// A host error passes to the caller as common::HostError. Before it does, the probe lines of
// the current entry are deleted and redraw is switched back on, each as best it can be; what
// could not be undone (a probe line, redraw left off) is noted in `leftInHost`.
void RunCycloidGeneration(host::HostScript& script, common::PanelSurface& panel, host::LeftInHost& leftInHost);

}  // namespace construct
