#include "platform/win32/app/BusyWait.h"

#include <chrono>

#include "platform/win32/windows/BusyBox.h"
#include "platform/win32/windows/MessageLoop.h"

namespace win32 {

std::uint64_t BusyWait::NowMilliseconds() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

void BusyWait::Pause(std::uint32_t milliseconds) {
    PauseLettingPaintRun(milliseconds);
}

bool BusyWait::AskRetryWhileBusy() {
    BusyBox box(::IsWindow(owner_) ? owner_ : nullptr);
    return box.AskRetry();
}

}  // namespace win32
