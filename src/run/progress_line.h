// A line on a terminal that shows how far a long simulation has come: ions
// done of all, ions per second and the time left.  It is drawn only on a
// terminal, never into files or pipes, and redrawn a few times a second.
#pragma once

#include <iosfwd>
#include <string>

namespace orvane {

class ProgressLine {
 public:
  // Seconds before the first drawing: short simulations show no line.
  static constexpr double kDelay = 2.0;
  // Seconds between two drawings.
  static constexpr double kInterval = 0.25;

  // The line is drawn on out when shown is set; sharesScreen says that the
  // ion lines go to the same screen, so the line is taken away before them
  // and put back after them.
  ProgressLine(std::ostream& out, bool shown, bool sharesScreen);

  // A line for standard error, shown when standard error is a terminal.
  static ProgressLine ForStandardError();

  // Starts a simulation of the given number of ions.
  void Start(int ions);
  // Takes the line away before other output reaches the screen.
  void Hide();
  // After ion number done, seconds since the start.
  void Update(int done, double seconds);
  // Takes the line away for good at the end of the simulation.
  void Finish();

  // The text of the line.
  static std::string Text(int done, int ions, double seconds);

 private:
  std::ostream& out_;
  bool shown_;
  bool sharesScreen_;
  int ions_ = 0;
  double lastDrawn_ = -1.0;  // seconds of the last drawing; -1 before the first
  std::string text_;         // the text on the screen, empty when taken away
};

}  // namespace orvane
