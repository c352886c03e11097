// Control lines of the simulated host: how tests and the command line script picks, faults
// and the document. The format is described in README.md.
#include <charconv>
#include <stdexcept>

#include "hostsim/model/Document.h"
#include "hostsim/model/FaultPlan.h"
#include "hostsim/model/Scene.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/model/TextScan.h"

namespace hostsim {

namespace {

[[noreturn]] void Fail(const std::string& description) {
    throw ScriptError("Control", description);
}

std::uint32_t CountWord(std::string_view word, std::uint32_t least) {
    std::uint32_t value = 0;
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, value);
    if (word.empty() || result.ec != std::errc{} || result.ptr != end || value < least) {
        Fail("expected a whole number of at least " + std::to_string(least) + ", got \"" + std::string(word) + "\"");
    }
    return value;
}

std::string OperationWord(std::string_view word) {
    if (const Operation* operation = ScriptApi::FindOperation(word)) {
        return operation->name;
    }
    Fail("unknown operation \"" + std::string(word) + "\"");
}

void ExpectEnd(std::string_view rest) {
    if (!NextWord(rest).empty()) {
        Fail("unexpected words at the end of the line");
    }
}

std::string TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

}  // namespace

std::string ScriptApi::Control(const std::string& line) {
    std::string_view rest = line;
    const std::size_t hash = rest.find('#');
    if (hash != std::string_view::npos) {
        rest = rest.substr(0, hash);
    }
    const std::string_view verb = NextWord(rest);
    if (verb.empty()) {
        return "ok";
    }
    if (EqualsIgnoringCase(verb, "pick")) {
        std::vector<std::string> ids;
        for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
            ids.emplace_back(word);
        }
        if (ids.size() == 1 && EqualsIgnoringCase(ids[0], "cancel")) {
            QueuePick(std::nullopt);
        } else if (ids.size() == 1 && EqualsIgnoringCase(ids[0], "clear")) {
            pickQueue_.clear();
        } else if (ids.empty()) {
            Fail("pick takes ids, cancel or clear");
        } else {
            QueuePick(std::move(ids));
        }
        return "ok";
    }
    if (EqualsIgnoringCase(verb, "fault")) {
        const std::string_view what = NextWord(rest);
        if (EqualsIgnoringCase(what, "raise") || EqualsIgnoringCase(what, "exit")) {
            std::string operation = OperationWord(NextWord(rest));
            const std::uint32_t n = CountWord(NextWord(rest), 1);
            ExpectEnd(rest);
            if (EqualsIgnoringCase(what, "raise")) {
                faults_->RaiseOn(std::move(operation), n);
            } else {
                faults_->ExitOn(std::move(operation), n);
            }
        } else if (EqualsIgnoringCase(what, "wrongtype")) {
            std::string operation = OperationWord(NextWord(rest));
            const std::string_view kindWord = NextWord(rest);
            const std::optional<WrongType> kind = ParseWrongType(kindWord);
            if (!kind) {
                Fail("unknown wrong type \"" + std::string(kindWord) + "\"");
            }
            const std::string_view nWord = NextWord(rest);
            std::optional<std::uint32_t> n;
            if (!nWord.empty()) {
                n = CountWord(nWord, 1);
            }
            ExpectEnd(rest);
            faults_->WrongTypeFor(std::move(operation), *kind, n);
        } else if (EqualsIgnoringCase(what, "getscriptobject")) {
            const std::uint32_t k = CountWord(NextWord(rest), 0);
            ExpectEnd(rest);
            faults_->FailGetScriptObject(k);
        } else if (EqualsIgnoringCase(what, "clear")) {
            ExpectEnd(rest);
            faults_->Clear();
        } else {
            Fail("fault takes raise, exit, wrongtype, getscriptobject or clear");
        }
        return "ok";
    }
    if (EqualsIgnoringCase(verb, "scene")) {
        const std::string path = TrimBlanks(rest);
        if (path.empty()) {
            Fail("scene takes a file path");
        }
        try {
            LoadSceneFile(*document_, path);
        } catch (const std::invalid_argument& error) {
            Fail(error.what());
        }
        return "ok";
    }
    if (EqualsIgnoringCase(verb, "add")) {
        try {
            const std::optional<std::string> id = ApplySceneLine(*document_, rest);
            if (!id) {
                Fail("add takes an object line");
            }
            return *id;
        } catch (const std::invalid_argument& error) {
            Fail(error.what());
        }
    }
    if (EqualsIgnoringCase(verb, "clear")) {
        ExpectEnd(rest);
        document_->Clear();
        return "ok";
    }
    if (EqualsIgnoringCase(verb, "document")) {
        ExpectEnd(rest);
        return DocumentText();
    }
    if (EqualsIgnoringCase(verb, "log")) {
        const std::string_view what = NextWord(rest);
        ExpectEnd(rest);
        if (what.empty()) {
            return log_.Text();
        }
        if (!EqualsIgnoringCase(what, "clear")) {
            Fail("log takes nothing or clear");
        }
        log_.Clear();
        return "ok";
    }
    if (EqualsIgnoringCase(verb, "lastcommand")) {
        ExpectEnd(rest);
        std::string out;
        for (const Vec3& p : lastCommandPoints_) {
            out += NumberText(p.x) + ' ' + NumberText(p.y) + ' ' + NumberText(p.z) + '\n';
        }
        return out;
    }
    if (EqualsIgnoringCase(verb, "windowhandle")) {
        const std::string_view word = NextWord(rest);
        ExpectEnd(rest);
        std::int32_t handle = 0;
        const char* end = word.data() + word.size();
        const auto result = std::from_chars(word.data(), end, handle);
        if (word.empty() || result.ec != std::errc{} || result.ptr != end) {
            Fail("windowhandle takes a whole number");
        }
        windowHandle_ = handle;
        return "ok";
    }
    Fail("unknown control line \"" + std::string(verb) + "\"");
}

}  // namespace hostsim
