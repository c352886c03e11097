#pragma once

#include <string>
#include <vector>

#include "common/HostPoint.h"
#include "host/BusyPolicy.h"
#include "host/Startup.h"

namespace ui {

// One line of the check's report: what was asked, whether Rhino answered as the tool expects,
// and Rhino's raw answer (or its error) with what it means.
struct CheckLine {
    std::string subject;
    bool asExpected = false;
    std::string detail;
};

// The report of one check of the running Rhino.
struct RhinoCheckReport {
    // Whether start-up reached a Rhino and obtained its script object.
    bool reached = false;
    std::vector<CheckLine> lines;

    // 0 when every line is as expected, 1 when a line differs, 2 when no Rhino was reached.
    int ExitCode() const;
    // The plain-text report: a heading, then "<subject>: as expected|differs: <detail>" per line.
    std::string Text() const;
    // One or two sentences for the message box.
    std::string Summary() const;
};

// The three world points the check's test curve runs through; the last one's z is written in
// exponent form by the tool's command text.
std::vector<common::HostPoint> CheckCurvePoints();

// Attaches to the running Rhino through start-up's own census and routes on `platform`, without
// showing or docking the panel and without the single-instance check (the messages start-up
// would show become report lines instead; the version chooser is still asked), then checks in
// Rhino's open document: the questions InCommand, LastCommandResult and LastCreatedObjects;
// the test curve drawn with the tool's own command text (CycloidCommandText) through
// CheckCurvePoints and read back (start and end point within the document's tolerance, degree
// 3, open); its deletion (the document's objects as before); the document's tolerance and
// unit system. The test curve is deleted whatever fails. The objects created are released
// before it returns. Rhino's calls wait by `busy`'s rule, as the panel's do: start-up's as one
// command, the check's own as another.
RhinoCheckReport CheckRhino(host::StartupPlatform& platform, host::BusyPolicy& busy);

}  // namespace ui
