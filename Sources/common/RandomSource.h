#pragma once
// The one pseudo-random source every random choice of the program draws from.
// Seeded once at start-up; tests seed it to get repeatable draws.

#include <QtGlobal>

namespace RandomSource {

void seed(quint32 value);
// A number from 0 to 2147483647.
quint32 next();
// next() modulo count; 0 when count is 0 or less.
int bounded(int count);

} // namespace RandomSource
