#include "session_worker.h"

#include <QtGlobal>

namespace {
std::atomic<double> gTimeScale { 1.0 };
} // namespace

void SessionWorker::setTimeScaleForTesting(double scale)
{
    gTimeScale = scale;
}

int SessionWorker::Scaled(int ms)
{
    return qMax(1, static_cast<int>(ms * gTimeScale.load()));
}
