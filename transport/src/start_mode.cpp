#include "app_if.h"

#include <atomic>

namespace {
// Written once while the command line is read, read from any thread afterwards.
std::atomic<int> gStartMode { 0 };
} // namespace

int GetStartMode()
{
    return gStartMode.load();
}

void SetStartMode(int mode)
{
    gStartMode.store(mode);
}
