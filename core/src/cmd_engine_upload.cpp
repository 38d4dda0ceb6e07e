// File upload entry of the engine: the firmware worker's way to sendFile.

#include "cmd_engine.h"

bool CCmdEngine::UploadFile(QString path)
{
    const UseScope inUse(*this);
    try {
        const QByteArray utf8 = path.toUtf8();
        return mCommProtocol.sendFile(utf8.constData());
    } catch (...) {
        return false;
    }
}
