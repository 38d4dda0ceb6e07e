#include "cmd_engine.h"

namespace {

// Module parameters of the firmware update and maintenance commands.
constexpr uint32_t kParamUpdateState = 0x206;
constexpr uint32_t kParamVerificationState = 0x208;
constexpr uint32_t kParamCommit = 0x209;
constexpr uint32_t kParamCommitState = 0x20A;
constexpr uint32_t kParamCommitProgress = 0x20B;
constexpr uint32_t kParamReboot = 0x20C;
constexpr uint32_t kParamVerifyFile = 0x20D;
constexpr uint32_t kParamUpdateLock = 0x20E;
constexpr uint32_t kParamUploadLocation = 0x20F;
constexpr uint32_t kParamFactoryReset = 0x63010000;

constexpr uint32_t kCommitStart = 1;
constexpr uint32_t kFactoryResetAll = 2;

} // namespace

eResult_t CCmdEngine::GetModuleUpdateState(uint32_t &state)
{
    return GetIntParamByID(kParamUpdateState, state);
}

eResult_t CCmdEngine::SetModuleUpdateState(uint32_t state)
{
    return SetIntParamByID(kParamUpdateState, state);
}

eResult_t CCmdEngine::RequestFileVerification(QString path)
{
    return SetStringParamByID(kParamVerifyFile, path);
}

eResult_t CCmdEngine::GetVerificationState(uint32_t &state)
{
    return GetIntParamByID(kParamVerificationState, state);
}

eResult_t CCmdEngine::CommitFirmware()
{
    return SetIntParamByID(kParamCommit, kCommitStart);
}

eResult_t CCmdEngine::GetCommitState(uint32_t &state)
{
    return GetIntParamByID(kParamCommitState, state);
}

eResult_t CCmdEngine::GetCommitProgress(uint32_t &percent)
{
    return GetIntParamByID(kParamCommitProgress, percent);
}

eResult_t CCmdEngine::RebootModule(uint32_t value)
{
    return SetIntParamByID(kParamReboot, value);
}

eResult_t CCmdEngine::GetUpdateLock(uint32_t &lock)
{
    return GetIntParamByID(kParamUpdateLock, lock);
}

eResult_t CCmdEngine::SetUpdateLock(uint32_t lock)
{
    return SetIntParamByID(kParamUpdateLock, lock);
}

eResult_t CCmdEngine::GetUploadLocation(QString &location)
{
    return GetStringParam(kParamUploadLocation, location);
}

eResult_t CCmdEngine::FactoryReset()
{
    return SetIntParamByID(kParamFactoryReset, kFactoryResetAll);
}
