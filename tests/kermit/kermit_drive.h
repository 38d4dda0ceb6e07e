#pragma once

#include "kermit.h"

namespace ktest {

// The upload loop without the "EDTM" exchange: Send-Init, then one reply per step.
// Returns the final step result, or 100 once stopState is reached.
inline int driveTransfer(KermitTransfer *k, KermitStatus *st, int stopState = -1)
{
    if (kermitStep(kKermitActionSend, k, -1, 0, "", st) < 0)
        return kKermitResultError;
    for (;;) {
        if (k->state == stopState)
            return 100;
        uint8_t *buf = nullptr;
        const int slot = getRecvSlot(k, &buf);
        int len = readpkt(k, buf, kKermitRecvBufBytes);
        if (len < 1) {
            freeRecvSlot(k, slot);
            if (len < 0)
                return kKermitResultError;
            len = 0;
        }
        const int rc = kermitStep(kKermitActionRun, k, slot, len, "", st);
        if (rc == kKermitResultError || rc == kKermitResultDone)
            return rc;
    }
}

} // namespace ktest
