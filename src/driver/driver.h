// The program driver: start-up, option analysis, parse, instrumentation and
// release, in that order. Every failure on the way ends the process with its
// failure status (1, 7 or 9); a completed run returns 0.
#pragma once

namespace driver {

int RunDriver(int argc, char** argv);

}  // namespace driver
