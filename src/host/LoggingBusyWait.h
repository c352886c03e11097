#pragma once

#include "host/BusyPolicy.h"
#include "host/EventLog.h"

namespace host {

// A BusyWaitPlatform that writes each busy wait and the user's answer to the busy question to
// `log`, and passes everything on to `inner` unchanged. Both must outlive it.
class LoggingBusyWait final : public BusyWaitPlatform {
  public:
    LoggingBusyWait(BusyWaitPlatform& inner, EventLog& log) : inner_(inner), log_(log) {}

    std::uint64_t NowMilliseconds() override { return inner_.NowMilliseconds(); }
    void Pause(std::uint32_t milliseconds) override {
        log_.Write("busy: Rhino turned the call away; waiting " + std::to_string(milliseconds) + " ms");
        inner_.Pause(milliseconds);
    }
    bool AskRetryWhileBusy() override {
        log_.Write("busy: asking the user whether to wait again");
        const bool retry = inner_.AskRetryWhileBusy();
        log_.Write(retry ? "busy: the user chose Retry" : "busy: the user chose Cancel");
        return retry;
    }

  private:
    BusyWaitPlatform& inner_;
    EventLog& log_;
};

}  // namespace host
