#pragma once
// A test program ends at once on SIGTERM, SIGINT or SIGHUP (ctest's time-out, Ctrl+C),
// whatever it is waiting for. The handler is put back after each connection, over the
// database client's own, which would keep the process alive.

#include "base/EndSignals.h"

#include <unistd.h>

inline void endOnSignal()
{
    zk::EndSignals::install([](int signal) { _exit(128 + signal); });
}
