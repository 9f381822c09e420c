#include "core/terminal.h"

#include <unistd.h>

namespace orvane {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace orvane
