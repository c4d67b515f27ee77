#pragma once
// The program's log: one plain line per message on standard error.

#include <QString>
#include <functional>

namespace Log {

// Writes `line` unchanged as one log line, after a time stamp. Thread-safe: lines
// written by several threads never interleave.
void write(const QString &line);

// Tests capture the log: while a sink is installed lines go to it instead (without
// the time stamp). The sink is called under the log's lock, so it sees lines one at
// a time and must not write to the log itself. An empty sink restores standard error.
using Sink = std::function<void(const QString &)>;
void setSink(Sink sink);

}  // namespace Log
