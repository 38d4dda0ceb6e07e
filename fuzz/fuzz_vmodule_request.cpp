// Feeds arbitrary bytes from the program to the virtual module: its request parser and the
// parameter model behind it, or its Kermit receiver.
//
// Input: byte 0 picks the receiver (bit 0) or the parser, the module's kind (bit 1: numeric
// parameter IDs or names) and how many bytes arrive at a time (bits 2-4). The rest is the
// line from the program.
#include "kermit_receiver.h"
#include "module_model.h"
#include "virtual_module.h"
#include "vmodule_config.h"

#include <QByteArray>
#include <algorithm>
#include <cstdint>

namespace {

VmConfig configFor(const char *product)
{
    VmConfig c;
    c.productId = product;
    vmCompleteConfig(c);
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray line(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const int chunk = 1 << ((data[0] >> 2) & 7);
    qint64 nowMs = 0;
    if (data[0] & 1) {
        KermitReceiver receiver { KermitReceiverOptions() };
        for (int at = 0; at < line.size(); at += chunk) {
            receiver.feed(line.mid(at, chunk), nowMs += 10);
            receiver.poll(nowMs);
        }
        return 0;
    }
    static const VmConfig kConfigs[] = { configFor("DECODER10G2"), configFor("ROUTER-16X16") };
    ModuleModel model(kConfigs[(data[0] >> 1) & 1]);
    model.boot(0);
    QByteArray rx;
    for (int at = 0; at < line.size(); at += chunk) {
        rx += line.mid(at, chunk);
        for (VmFrame f; (f = vmTakeFrame(rx)).kind != VmFrame::Kind::Incomplete;) {
            VmRequest log;
            if (f.kind == VmFrame::Kind::Request)
                model.handle(f.type, f.payload, nowMs += 10, log);
        }
    }
    return 0;
}
