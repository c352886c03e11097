#include "platform/win32/app/BusyWait.h"

#include "platform/win32/base/MonotonicClock.h"
#include "platform/win32/windows/BusyBox.h"
#include "platform/win32/windows/MessageLoop.h"

namespace win32 {

std::uint64_t BusyWait::NowMilliseconds() {
    return MonotonicMilliseconds();
}

void BusyWait::Pause(std::uint32_t milliseconds) {
    PauseLettingPaintRun(milliseconds);
}

bool BusyWait::AskRetryWhileBusy() {
    BusyBox box(::IsWindow(owner_) ? owner_ : nullptr);
    return box.AskRetry();
}

}  // namespace win32
