#include "ui/EventRouter.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/BestEffort.h"
#include "common/HostError.h"
#include "construct/GenerationRun.h"
#include "construct/PointsAlongLine.h"
#include "picking/Pickers.h"
#include "picking/PointList.h"
#include "picking/PressHighlight.h"
#include "ui/Messages.h"

namespace ui {

using common::PanelControl;

EventRouter::EventRouter(host::HostScript& script,
                         common::PanelSurface& panel,
                         std::function<void()> openWebPage,
                         host::BusyPolicy* busy)
    : script_(script), panel_(panel), openWebPage_(std::move(openWebPage)), busy_(busy) {}

EventRouter::Route EventRouter::RouteOf(PanelControl control, PanelEvent event, host::LeftInHost& leftInHost) {
    if (event == PanelEvent::MouseDown || event == PanelEvent::MouseUp) {
        if (!picking::HighlightsOnPress(control)) {
            return {};
        }
        if (event == PanelEvent::MouseDown) {
            return {[this, control] { picking::HighlightOnPress(script_, panel_, control); }, HostUse::Highlight};
        }
        return {[this, control] { picking::UnhighlightOnRelease(script_, panel_, control); }, HostUse::Highlight};
    }

    switch (control) {
        case PanelControl::Command1:
            return {[this] { (void)picking::SelectAllPoints(script_, panel_); }, HostUse::Command};
        case PanelControl::Command2:
            return {[this, &leftInHost] { construct::CreatePointsAlongLine(script_, panel_, leftInHost); },
                    HostUse::Command, AskFirst::InCommand};
        case PanelControl::Command3:
            return {[this] { picking::DeleteAllPoints(panel_); }, HostUse::None};
        case PanelControl::Command4:
            return {[this, &leftInHost] { construct::RunCycloidGeneration(script_, panel_, leftInHost); },
                    HostUse::Command, AskFirst::InCommand};
        case PanelControl::Command5:
            return {[this] { picking::PickLine(script_, panel_); }, HostUse::Command, AskFirst::InCommand};
        case PanelControl::Command6:
            return {[this] { picking::PickXyCurve(script_, panel_); }, HostUse::Command, AskFirst::InCommand};
        case PanelControl::Command7:
            return {[this] { picking::PickYzCurve(script_, panel_); }, HostUse::Command, AskFirst::InCommand};
        case PanelControl::Command8:
            return {[this] { picking::PickPoints(script_, panel_); }, HostUse::Command, AskFirst::InCommand};
        case PanelControl::Pic1:
            if (!openWebPage_) {
                return {};
            }
            return {[this] { openWebPage_(); }, HostUse::None};
        default:
            break;  // clicks on the fields, the list, the check box and the labels are not wired
    }
    return {};
}

void EventRouter::OnPanelEvent(PanelControl control, PanelEvent event) {
    // This command's own: one that runs inside it while it lets pending messages run has another.
    host::LeftInHost leftInHost;
    const Route route = RouteOf(control, event, leftInHost);
    if (!route.handler) {
        return;
    }
    if (route.hostUse != HostUse::None && (hostGone_ || !script_.Attached())) {
        // A press or release on a field must not raise a modal box under the mouse; only the
        // buttons say why they cannot work.
        if (route.hostUse == HostUse::Command) {
            panel_.ShowMessage(hostGone_ ? kHostGoneMessage : kNotAttachedMessage);
        }
        return;
    }
    if (route.hostUse == HostUse::Highlight) {
        RunHighlight(route.handler);
        return;
    }

    // The user may be asked about a busy host again; a Cancel holds for this command only. A
    // clean-up that waits after the Cancel says so in the status label, which is hidden once
    // the command has ended, as what it said is over.
    bool cleanupWaited = false;
    const std::function<void()> sayCleanupWaits = [this, &cleanupWaited] {
        cleanupWaited = true;
        panel_.SetStatusCaption(kWaitingForHostCaption);
        panel_.SetStatusColor(common::kStatusRed);
        panel_.SetStatusVisible(true);
    };
    std::optional<host::BusyPolicy::CommandScope> busyCommand;
    if (busy_ != nullptr && route.hostUse == HostUse::Command) {
        busyCommand.emplace(*busy_, host::BusyPolicy::CallKind::Call, &sayCleanupWaits);
    }
    // Acting inside the user's command would feed it our input (a typed point read by a waiting
    // Move) or be refused half-way; the user finishes it first.
    if (route.askFirst == AskFirst::InCommand && HostRunsACommand()) {
        panel_.ShowMessage(kHostInCommandMessage);
        return;
    }
    std::optional<std::string> message;
    try {
        route.handler();
        if (!leftInHost.Items().empty()) {
            message = WithLeftInHost(kLeftInHostMessage, leftInHost.Items());
        }
    } catch (const common::HostError& error) {
        switch (error.GetCause()) {
            case common::HostError::Cause::HostGone:
                if (!hostGone_) {
                    // A command that started before another one found the host gone (it ran
                    // inside it, while pending messages ran) fails the same way; the user is
                    // told once.
                    hostGone_ = true;
                    message = kHostGoneMessage;
                }
                break;
            case common::HostError::Cause::NotAttached:
                message = kNotAttachedMessage;
                break;
            case common::HostError::Cause::Busy:
                message = WithLeftInHost(kHostBusyMessage, leftInHost.Items());
                break;
            case common::HostError::Cause::Raised:
                message = WithLeftInHost(HostFailureMessage(error), leftInHost.Items());
                break;
        }
    } catch (const std::exception& error) {
        message = CommandFailureMessage(error.what());
    }
    if (cleanupWaited) {
        panel_.SetStatusVisible(false);
    }
    if (message) {
        panel_.ShowMessage(*message);
    }
}

void EventRouter::RunHighlight(const std::function<void()>& handler) {
    // A highlight is a courtesy the user can do without: it never waits for a busy host, never
    // asks and never reports. Every call in it is a question, given up from its start in every
    // layer, and any failure (busy, gone, raised) leaves the press without effect.
    std::optional<host::BusyPolicy::CommandScope> questionsOnly;
    if (busy_ != nullptr) {
        questionsOnly.emplace(*busy_, host::BusyPolicy::CallKind::Question);
    }
    (void)common::RunBestEffort(handler);
}

bool EventRouter::HostRunsACommand() {
    // A Rhino without the question, or one that fails it (a host gone included: the handler's
    // own first call then finds that out), is treated as running none.
    const std::optional<std::int32_t> running = common::AnswerOrNothing([this] { return script_.InCommand(); });
    return running && *running > 0;
}

}  // namespace ui
