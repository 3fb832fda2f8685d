// The random walk through the real window, and the check of a script against
// the walk's invariants.
#pragma once

#include <QString>

namespace quillet {

// STEPS random actions from SEED, each followed by the invariant checks; a
// failure prints the seed and the shortest script that still fails. 0 when
// every step passed, 1 otherwise.
int Walk(quint64 seed, qint64 steps);

// Plays a script, checking the same invariants after every line.
int CheckScript(const QString& path);

}  // namespace quillet
