#include "run/progress_line.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace orvane {

namespace {

// Back to the start of the line, and the rest of the line cleared.
const char kEraseLine[] = "\r\033[K";

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool shown, bool sharesScreen)
    : out_(out), shown_(shown), sharesScreen_(sharesScreen) {}

ProgressLine ProgressLine::ForStandardError() {
  return ProgressLine(std::cerr, isatty(STDERR_FILENO) != 0, isatty(STDOUT_FILENO) != 0);
}

void ProgressLine::Start(int ions) {
  ions_ = ions;
  lastDrawn_ = -1.0;
  text_.clear();
}

void ProgressLine::Hide() {
  if (!sharesScreen_ || text_.empty()) return;
  out_ << kEraseLine << std::flush;
}

void ProgressLine::Update(int done, double seconds) {
  if (!shown_ || seconds < kDelay) return;
  if (lastDrawn_ < 0.0 || seconds - lastDrawn_ >= kInterval) {
    text_ = Text(done, ions_, seconds);
    lastDrawn_ = seconds;
  } else if (!sharesScreen_) {
    return;  // the line on the screen is still there
  }
  out_ << kEraseLine << text_ << std::flush;
}

void ProgressLine::Finish() {
  if (text_.empty()) return;
  out_ << kEraseLine << std::flush;
  text_.clear();
}

std::string ProgressLine::Text(int done, int ions, double seconds) {
  const double rate = seconds > 0.0 ? done / seconds : 0.0;
  const double left = rate > 0.0 ? (ions - done) / rate : 0.0;
  char text[96];
  std::snprintf(text, sizeof text, "# Ion %d of %d, %.1f ions/s, %.0f s left", done, ions, rate,
                left);
  return text;
}

}  // namespace orvane
