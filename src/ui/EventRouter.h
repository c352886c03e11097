#pragma once

#include <functional>

#include "common/PanelSurface.h"
#include "host/BusyPolicy.h"
#include "host/HostScript.h"
#include "host/LeftInHost.h"
#include "ui/PanelEvents.h"

namespace ui {

// Runs the handler each panel event is wired to, and is the one place where a failed command
// is turned into the user's message:
//   Command5/6/7 click   the line, XY curve and YZ curve pickers
//   Command8 click       Pick Points;  Command1 click SelAllPts;  Command3 click Del All pts
//   Command2 click       Create (points along the line)
//   Command4 click       the generation run
//   Text5/Text1/Text2/List1 mouse down / up   press-to-highlight
//   Pic1 click           the injected "open web page" action
// Every other event does nothing.
//
// Before a command that makes Rhino do something (Generate, Create and the four picks; not
// SelAllPts, which only selects and reads, nor press-to-highlight) Rhino is asked whether it
// runs a command of the user's (HostScript::InCommand). While one runs, the command shows
// kHostInCommandMessage and does nothing else. The question is best effort: a Rhino that does
// not know it, fails it in any way (busy included: it is not waited for) or answers no number
// lets the command run as it would without asking.
//
// A host error is reported in the information box ("Rhino could not complete <operation>:
// <host's description>", or for a host that stayed busy kHostBusyMessage), followed by what
// the handler could not undo in Rhino (the command's own host::LeftInHost, created when the
// command starts; a command run inside it has its own); a command that ends without an error
// but left something in Rhino says so with kLeftInHostMessage and the same list; any other
// failure of a handler as "The command could not be completed: <description>", and the panel
// goes on working; handlers have done their own cleanup by then, and a clean-up that waited
// for a busy host after the user's Cancel showed kWaitingForHostCaption in the status label
// while it waited, which is hidden before the message.
//
// Press-to-highlight never waits, asks or reports: every call it makes is a question (given
// up at once when the host is busy) and any failure makes the press do nothing. When the host has gone, that is
// reported once, and from then on commands that need the host show the same message without calling it. Without a
// script object, commands that need the host show one message instead of running; mouse presses and releases then do
// nothing, and "Del All pts" and the logo work. Only a failure to show the message itself leaves this call.
//
// Re-entrant: a handler that lets pending window messages run may receive another event
// through this router while it is still running.
class EventRouter : public PanelEvents {
  public:
    // `script` and `panel` (and `busy`, when given) must outlive the router. `openWebPage` runs
    // on a click of the logo. Each command that calls the host runs in its own
    // host::BusyPolicy::CommandScope of `busy`, so that the user may be asked about a busy host
    // again and a Cancel holds for that command only.
    EventRouter(host::HostScript& script,
                common::PanelSurface& panel,
                std::function<void()> openWebPage,
                host::BusyPolicy* busy = nullptr);

    void OnPanelEvent(common::PanelControl control, PanelEvent event) override;

  private:
    enum class HostUse { None, Command, Highlight };
    // What the router asks Rhino before the handler runs.
    enum class AskFirst { Nothing, InCommand };

    // The handler wired to the event, what it needs of the host and what is asked before it
    // runs; an empty handler for an event that is not wired.
    struct Route {
        std::function<void()> handler;
        HostUse hostUse = HostUse::None;
        AskFirst askFirst = AskFirst::Nothing;
    };
    // `leftInHost` is the command's own, handed to the handler that may leave something behind.
    Route RouteOf(common::PanelControl control, PanelEvent event, host::LeftInHost& leftInHost);
    // Whether Rhino says it runs a command of the user's; false when it cannot say.
    bool HostRunsACommand();
    // Runs a press-to-highlight handler: no wait, no question, no report.
    void RunHighlight(const std::function<void()>& handler);

    host::HostScript& script_;
    common::PanelSurface& panel_;
    std::function<void()> openWebPage_;
    host::BusyPolicy* busy_;
    bool hostGone_ = false;
};

}  // namespace ui
