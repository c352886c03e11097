#pragma once

#include <string>
#include <utility>
#include <vector>

namespace host {

// What one command of the user's could not undo in the host (a probe line left, redraw left
// off), each as a phrase for the user, in the order noted. The reporting boundary creates one
// when a command starts, hands it to the handler that may leave something behind and reads it
// when the command ends. A command that runs inside another (while the outer one lets pending
// messages run) has its own, so neither can empty or fill the other's.
class LeftInHost {
  public:
    void Note(std::string what) { items_.push_back(std::move(what)); }
    // Everything noted, in order; empty when the command left nothing behind.
    const std::vector<std::string>& Items() const noexcept { return items_; }

  private:
    std::vector<std::string> items_;
};

}  // namespace host
