#include "RandomSource.h"

#include <QMutex>
#include <QMutexLocker>
#include <random>

namespace {
QMutex randomMutex;
std::mt19937& engine()
{
    static std::mt19937 generator(1u);
    return generator;
}
}

namespace RandomSource {

void seed(quint32 value)
{
    QMutexLocker locker(&randomMutex);
    engine().seed(value);
}

quint32 next()
{
    QMutexLocker locker(&randomMutex);
    return engine()() & 0x7fffffffu;
}

int bounded(int count)
{
    if (count <= 0)
        return 0;
    return static_cast<int>(next() % static_cast<quint32>(count));
}

} // namespace RandomSource
