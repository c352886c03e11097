#include "hostsim/model/CallLog.h"

#include <algorithm>

#include "hostsim/model/TextScan.h"

namespace hostsim {

void CallLog::StartRecord(std::string_view operation) {
    recordStarts_.push_back(partEnds_.size());
    text_ += operation;
    partEnds_.push_back(text_.size());
}

void CallLog::AddArgument(std::string_view text) {
    text_ += text;
    partEnds_.push_back(text_.size());
}

void CallLog::NoteLast(std::string_view note) {
    if (recordStarts_.empty()) {
        return;
    }
    const std::size_t last = recordStarts_.size() - 1;
    if (!notes_.empty() && notes_.back().first == last) {
        notes_.back().second += "; ";
        notes_.back().second += note;
    } else {
        notes_.emplace_back(last, std::string(note));
    }
}

void CallLog::Add(const CallRecord& record) {
    StartRecord(record.operation);
    for (const std::string& argument : record.arguments) {
        AddArgument(argument);
    }
    if (!record.note.empty()) {
        NoteLast(record.note);
    }
}

void CallLog::Clear() {
    text_.clear();
    partEnds_.clear();
    recordStarts_.clear();
    notes_.clear();
}

std::string_view CallLog::Part(std::size_t part) const {
    const std::size_t begin = part == 0 ? 0 : partEnds_[part - 1];
    return std::string_view(text_).substr(begin, partEnds_[part] - begin);
}

std::size_t CallLog::EndPart(std::size_t index) const {
    return index + 1 < recordStarts_.size() ? recordStarts_[index + 1] : partEnds_.size();
}

std::string_view CallLog::NoteOf(std::size_t index) const {
    const auto found = std::lower_bound(notes_.begin(), notes_.end(), index,
                                        [](const auto& note, std::size_t wanted) { return note.first < wanted; });
    return found != notes_.end() && found->first == index ? std::string_view(found->second) : std::string_view();
}

CallRecord CallLog::Record(std::size_t index) const {
    CallRecord record{std::string(Part(FirstPart(index))), {}, std::string(NoteOf(index))};
    for (std::size_t part = FirstPart(index) + 1; part < EndPart(index); ++part) {
        record.arguments.emplace_back(Part(part));
    }
    return record;
}

std::vector<CallRecord> CallLog::Records() const {
    std::vector<CallRecord> records;
    records.reserve(Size());
    for (std::size_t i = 0; i < Size(); ++i) {
        records.push_back(Record(i));
    }
    return records;
}

std::size_t CallLog::CountOf(const std::string& operation) const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < Size(); ++i) {
        if (EqualsIgnoringCase(Part(FirstPart(i)), operation)) {
            ++count;
        }
    }
    return count;
}

std::string CallLog::Line(std::size_t index) const {
    std::string line(Part(FirstPart(index)));
    line += '(';
    for (std::size_t part = FirstPart(index) + 1; part < EndPart(index); ++part) {
        if (part > FirstPart(index) + 1) {
            line += ", ";
        }
        line += Part(part);
    }
    line += ')';
    const std::string_view note = NoteOf(index);
    if (!note.empty()) {
        line += " # ";
        line += note;
    }
    return line;
}

std::string CallLog::Text() const {
    std::string out;
    for (std::size_t i = 0; i < Size(); ++i) {
        out += Line(i);
        out += '\n';
    }
    return out;
}

}  // namespace hostsim
