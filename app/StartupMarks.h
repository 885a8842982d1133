#pragma once
// Where start-up time goes: with CORVANE_STARTUP_MARKS naming a file, each step of the start-up
// appends "<step>\t<milliseconds on the performance counter>" to it, so that a benchmark that
// started the process on the same clock can tell each step's share. Without the variable a mark
// costs one test of a flag.

namespace corvane {

void StartupMark(const char* step);

}  // namespace corvane
