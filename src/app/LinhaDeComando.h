#pragma once
// What the program answers without starting: "--version" and "--help" print to standard
// output and end with 0, before any display, window, settings file or database is touched.
// Any other argument is ignored.

#include <optional>

// The exit code when the command line was answered; nothing when the program should start.
std::optional<int> RespondeLinhaDeComando(int argc, char** argv);
