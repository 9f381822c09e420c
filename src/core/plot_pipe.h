// The pipes to the external plotting program, gnuplot.  A pipe is null when
// the program is not installed, could not be started or has died; the run
// then goes on without plots, and says so once on standard error.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace orvane {

// The word quoted for a POSIX shell, so that no character of it is
// interpreted: 'it'\''s'.
std::string ShellQuote(const std::string& word);

// The text as a single-quoted string of the plotting program, in which it
// substitutes no command: 'it''s'.  File names in plot commands are written
// so, since a double-quoted string would run any `command` in them.
std::string GnuplotQuote(const std::string& text);

// True when an executable "gnuplot" lies on the search path.
bool PlotterInstalled();

// Starts gnuplot with the given command-line arguments, each quoted, and
// sends the first commands; returns null when plotting is not possible.
std::FILE* StartPlotter(const std::vector<std::string>& arguments, const std::string& commands);

// Sends commands and flushes them; a pipe whose program has died is closed
// and set to null.  A null pipe is left alone.
void SendPlot(std::FILE*& pipe, const std::string& commands);

// Closes the pipe, if open, and sets it to null.
void StopPlotter(std::FILE*& pipe);

// The commands that send the next plot to a PNG picture at the path, drawn
// by the cairo terminal, which needs no display.
std::string PictureTerminal(const std::string& path);

// Runs the commands in a plotting program of their own and waits until it
// has finished them (without gnuplot, nothing is drawn; see StartPlotter).
void DrawPictures(const std::string& commands);

}  // namespace orvane
