#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/app/RunLog.h"

namespace win32 {

// The file the check writes its report to when the command line names none: curtate-check.txt
// in the user's temporary folder.
std::wstring DefaultCheckReportPath();

// Runs the check of the running Rhino (ui::CheckRhino) over the tool's own start-up platform,
// observed by `log`, without a panel; writes the report to `reportPathUtf8` (empty: the
// default) as UTF-8 and shows its summary and path in the system's message box. A busy Rhino is
// waited for as the panel waits, `busyPatienceMs` before the user is asked. Returns the
// report's exit code (0, 1, 2); 3 when the report could not be written (the box says so).
int RunRhinoCheck(const std::string& reportPathUtf8, RunLog& log, std::uint32_t busyPatienceMs);

}  // namespace win32
