#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hostsim/model/Document.h"

namespace hostsim {

// Applies one scene line (format in README.md) to the document. Returns the new object's id,
// or nothing for a blank line, a comment or a "redraw" line. Throws std::invalid_argument
// naming the fault for a line it cannot read; the document is then unchanged.
std::optional<std::string> ApplySceneLine(Document& document, std::string_view line);

// Applies every line of a scene text; on a fault throws std::invalid_argument ("line N: ...")
// and leaves the document as it was.
void LoadSceneText(Document& document, std::string_view text);

// Reads a scene file and applies it as LoadSceneText; throws std::invalid_argument when the
// file cannot be read.
void LoadSceneFile(Document& document, const std::string& path);

}  // namespace hostsim
