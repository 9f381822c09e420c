// Whether the progress of long computations has a screen to be redrawn on.
#pragma once

namespace orvane {

// True when standard error is a terminal; a file or a pipe gets no
// progress redrawn in place.
bool StandardErrorIsTerminal();

}  // namespace orvane
