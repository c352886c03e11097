#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hostsim {

// One automation call as received: the operation name as the caller spelt it and each
// argument rendered by Value::Text(), with a note saying why the call answered as it did
// where the call alone does not show it (empty for most calls).
struct CallRecord {
    std::string operation;
    std::vector<std::string> arguments;
    std::string note;
};

// Every call made through ScriptApi::Call, in order, faulted calls included. The texts are
// kept end to end in one buffer: a session's log holds one entry per call, tens of thousands
// of them in a large SelAllPts, without an allocation of their own each.
class CallLog {
  public:
    void Add(const CallRecord& record);
    // Adds a call in two steps: its operation, then each argument's text in order.
    void StartRecord(std::string_view operation);
    void AddArgument(std::string_view text);
    // Attaches a note to the last call added (joined with "; " to one it already has).
    void NoteLast(std::string_view note);
    void Clear();
    std::size_t Size() const { return recordStarts_.size(); }
    CallRecord Record(std::size_t index) const;
    // Every record, in order.
    std::vector<CallRecord> Records() const;
    // Number of calls of an operation (name compared ignoring case).
    std::size_t CountOf(const std::string& operation) const;
    // One call in text form: the operation, then "(", the arguments separated by ", ", then
    // ")", e.g. `AddLine(Array[0:3]{Double 1; Double 2; Double 0}, Array[0:3]{Int16 -5000; ...})`;
    // a call with a note ends with " # " and the note.
    std::string Line(std::size_t index) const;
    // One line per call, each ended by a line break.
    std::string Text() const;

  private:
    std::string_view Part(std::size_t part) const;
    // Parts of record `index`: [first, end) in partEnds_.
    std::size_t FirstPart(std::size_t index) const { return recordStarts_[index]; }
    std::size_t EndPart(std::size_t index) const;
    // The note of record `index`; empty when it has none.
    std::string_view NoteOf(std::size_t index) const;

    std::string text_;                       // every operation and argument text, end to end
    std::vector<std::size_t> partEnds_;      // where each of them ends in text_
    std::vector<std::size_t> recordStarts_;  // each record's operation, an index into partEnds_
    // The few records with a note, in record order: {record index, note}.
    std::vector<std::pair<std::size_t, std::string>> notes_;
};

}  // namespace hostsim
