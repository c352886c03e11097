#include "construct/GenerationRun.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/BestEffort.h"
#include "common/BlankTrim.h"
#include "common/HostPoint.h"
#include "common/HostValue.h"
#include "common/NumberText.h"
#include "common/NumericField.h"
#include "construct/CycloidGenerator.h"

namespace construct {

namespace {

using common::HostPoint;
using common::HostValue;
using common::PanelControl;

constexpr char kCalculatingCaption[] = "Calculating Curtate cycloid...";
constexpr char kDoneCaption[] = "Curtate cycloid - DONE!";
constexpr char kRedrawLeftOff[] =
    "redraw switched off (Rhino's views do not update until it is switched on again: run Generate once more)";
constexpr char kNoIntersectionMessage[] =
    "No intersection found, make sure curve and points are cooplanar in XY and YZ";

// The probes reach these absolute coordinates: x = -5000 for the span, z = 5000 for the height.
constexpr std::int32_t kProbeFarX = -5000;
constexpr std::int32_t kProbeFarZ = 5000;

std::string StepRefusalMessage(StepRefusal refusal) {
    switch (refusal) {
        case StepRefusal::Zero:
            return "The step must be a number of degrees other than 0, for example 5. "
                   "An empty step, or one that does not start with a number, reads as 0.";
        case StepRefusal::NotANumber:
            return "The step is not a number. Type a number of degrees, for example 5.";
        case StepRefusal::TooManySamples:
            return "The step is too small: one curve would need more than 1,000,000 points. "
                   "Type a larger step, for example 5.";
    }
    return "The step cannot be used. Type a number of degrees, for example 5.";
}

std::string FarCurveMessage(const std::string& pointId) {
    return "The curve of point " + pointId +
           " cannot be drawn: the XY or YZ curve lies so far from the point that its coordinates are beyond "
           "the numbers Rhino can read.";
}

// Why Rhino gave no curve, from its result code of the last command; empty for a code that
// says nothing more.
std::string RefusalReason(std::optional<std::int32_t> resultCode) {
    switch (resultCode.value_or(-1)) {
        case 1:
            return " The command was cancelled.";
        case 2:
            return " The command did nothing.";
        case 3:
            return " The command failed.";
        case 4:
            return " Rhino does not know the command.";
        default:
            return "";
    }
}

std::string CurveNotDrawnMessage(const std::string& pointId, std::optional<std::int32_t> resultCode) {
    return "Rhino did not draw the curve of point " + pointId + "." + RefusalReason(resultCode);
}

// After a command answered true: whether the host lists an object the command created. The
// check is best effort: a host that does not know the question, is busy or fails it leaves the
// true answer standing.
bool HostConfirmsCreation(host::HostScript& script) {
    bool confirmed = true;
    (void)common::RunBestEffort([&] {
        const std::optional<std::vector<std::string>> created = script.LastCreatedObjects();
        confirmed = created && !created->empty();
    });
    return confirmed;
}

// The probe lines of one entry. Each is deleted by DeleteAll on the normal path; whatever is
// still listed when the entry's scope is left through a failure is deleted as best it can be.
// A probe the host refused to delete, or could not be asked to, is noted as left in the host.
class ProbeLines {
  public:
    ProbeLines(host::HostScript& script, host::LeftInHost& leftInHost) : script_(script), leftInHost_(leftInHost) {
        ids_.reserve(2);
    }
    ProbeLines(const ProbeLines&) = delete;
    ProbeLines& operator=(const ProbeLines&) = delete;
    ~ProbeLines() {
        for (const std::string& id : ids_) {
            bool deleted = false;
            if (!common::RunBestEffort([&] { deleted = script_.DeleteObject(id); }) || !deleted) {
                NoteLeft(id);
            }
        }
    }

    // Adds a line from `start` to `end` and keeps its id for deletion.
    std::optional<std::string> Add(const HostValue& start, const HostValue& end) {
        std::optional<std::string> id = script_.AddLine(start, end);
        if (id) {
            ids_.push_back(*id);
        }
        return id;
    }

    // Deletes the probes in the order they were added; a probe is forgotten once the host has
    // answered for it, so a failure leaves the rest to the destructor. False when the host
    // refused to delete one (noted as left).
    bool DeleteAll() {
        bool allDeleted = true;
        while (!ids_.empty()) {
            if (!script_.DeleteObject(ids_.front())) {
                NoteLeft(ids_.front());
                allDeleted = false;
            }
            ids_.erase(ids_.begin());
        }
        return allDeleted;
    }

  private:
    void NoteLeft(const std::string& id) noexcept {
        (void)common::RunBestEffort([&] { leftInHost_.Note("the probe line " + id); });
    }

    host::HostScript& script_;
    host::LeftInHost& leftInHost_;
    std::vector<std::string> ids_;
};

enum class EntryOutcome { Skipped, Drawn, RunEnds };

// One entry of the list: select it, and when it is a point, probe, sample and draw.
EntryOutcome GenerateForEntry(host::HostScript& script,
                              common::PanelSurface& panel,
                              host::LeftInHost& leftInHost,
                              const std::string& entryText,
                              const std::string& xyId,
                              const std::string& yzId) {
    script.SelectObject(common::TrimBlanks(entryText));
    // IsPoint and PointCoordinates get the entry as it stands; only the selection is trimmed.
    if (!script.IsPoint(entryText)) {
        return EntryOutcome::Skipped;
    }
    // A point whose coordinates the host does not give as three numbers cannot be measured;
    // it is passed over like an entry that is no point.
    const std::optional<HostPoint> base = script.PointCoordinates(entryText);
    if (!base) {
        return EntryOutcome::Skipped;
    }

    ProbeLines probes(script, leftInHost);
    const HostValue start = HostValue::Point(base->x, base->y, base->z);
    const std::optional<std::string> xProbe = probes.Add(
        start,
        HostValue::Array({HostValue::Int32(kProbeFarX), HostValue::Double(base->y), HostValue::Double(base->z)}));
    const std::optional<std::string> zProbe = probes.Add(
        start,
        HostValue::Array({HostValue::Double(base->x), HostValue::Double(base->y), HostValue::Int32(kProbeFarZ)}));

    // Both intersections are asked for before either answer is looked at. A probe the host
    // did not add (no id) cannot meet anything.
    std::optional<HostPoint> xyHit;
    std::optional<HostPoint> yzHit;
    if (xProbe && zProbe) {
        xyHit = script.CurveCurveIntersection(*xProbe, xyId);
        yzHit = script.CurveCurveIntersection(*zProbe, yzId);
    }
    if (!xyHit || !yzHit) {
        panel.ShowMessage(kNoIntersectionMessage);
        probes.DeleteAll();
        return EntryOutcome::RunEnds;
    }

    const double stepDegrees = common::ReadNumericField(panel.FieldText(PanelControl::Text3));
    const bool bothSides = panel.BothSidesChecked();
    if (const std::optional<StepRefusal> refusal = RefusalOfStep(stepDegrees, bothSides)) {
        panel.ShowMessage(StepRefusalMessage(*refusal));
        probes.DeleteAll();
        return EntryOutcome::RunEnds;
    }

    std::string command;
    try {
        command = CycloidCommandTextFor(*base, *xyHit, *yzHit, stepDegrees, bothSides);
    } catch (const CoordinateNotFinite&) {
        panel.ShowMessage(FarCurveMessage(common::TrimBlanks(entryText)));
        probes.DeleteAll();
        return EntryOutcome::RunEnds;
    }
    // Moved, not copied: the text of a fine step runs to megabytes. Only a true answer that the
    // host confirms means the curve is there; a run that went on past a curve not drawn would
    // end by calling itself done.
    if (!script.Command(std::move(command)) || !HostConfirmsCreation(script)) {
        // The reason is a courtesy: a host that cannot say why changes nothing else.
        const std::optional<std::int32_t> resultCode =
            common::AnswerOrNothing([&] { return script.LastCommandResult(); });
        panel.ShowMessage(CurveNotDrawnMessage(common::TrimBlanks(entryText), resultCode));
        probes.DeleteAll();
        return EntryOutcome::RunEnds;
    }
    // A probe left in the host ends the run: it is not done, and its last curve stays.
    return probes.DeleteAll() ? EntryOutcome::Drawn : EntryOutcome::RunEnds;
}

}  // namespace

void RunCycloidGeneration(host::HostScript& script, common::PanelSurface& panel, host::LeftInHost& leftInHost) {
    script.UnselectAllObjects();

    panel.SetStatusCaption(kCalculatingCaption);
    panel.SetStatusColor(common::kStatusRed);
    panel.SetStatusVisible(true);
    panel.LetPendingMessagesRun();

    // Armed before the call: a host that switched redraw off and then failed is switched on too.
    common::CleanupGuard redrawBackOn([&] {
        if (!common::RunBestEffort([&] { script.EnableRedraw(true); })) {
            leftInHost.Note(kRedrawLeftOff);
        }
    });
    script.EnableRedraw(false);

    const std::string xyText = panel.FieldText(PanelControl::Text1);
    const std::string yzText = panel.FieldText(PanelControl::Text2);
    if (!xyText.empty() && !yzText.empty() && panel.ListCount() > 0) {
        const std::string xyId = common::TrimBlanks(xyText);
        const std::string yzId = common::TrimBlanks(yzText);
        const std::size_t entryCount = panel.ListCount();
        for (std::size_t i = 0; i < entryCount; ++i) {
            // The count read above is not trusted for the whole loop: a handler that ran while
            // this run waited may have emptied the list. Never read past its current end.
            if (i >= panel.ListCount()) {
                break;
            }
            std::string caption;
            caption.reserve(sizeof kCalculatingCaption + 24);
            caption.append(kCalculatingCaption).append(" ").append(common::IntegerText(i + 1));
            panel.SetStatusCaption(caption);
            const std::string entryText = panel.ListRow(i);
            if (GenerateForEntry(script, panel, leftInHost, entryText, xyId, yzId) == EntryOutcome::RunEnds) {
                // Ends at once: no final unselect, the status keeps the failing entry's number.
                script.EnableRedraw(true);
                redrawBackOn.Dismiss();
                return;
            }
        }
        script.UnselectAllObjects();
    }

    script.EnableRedraw(true);
    redrawBackOn.Dismiss();
    panel.SetStatusColor(common::kStatusBlue);
    panel.SetStatusCaption(kDoneCaption);
    panel.LetPendingMessagesRun();
}

}  // namespace construct
