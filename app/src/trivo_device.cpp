#include "trivo_device.h"

#include <algorithm>

CTrivo::CTrivo(CCmdEngine *cmdEngine, int mediaLanCount)
    : CDeviceIF(cmdEngine)
    , mInterfaceCount(1 + std::clamp(mediaLanCount, 0, 2))
    , mInterfaces(static_cast<size_t>(mInterfaceCount))
{ }

CTrivo::~CTrivo() = default;

bool CTrivo::Save(QSettings &settings)
{
    (void)settings;
    return true;
}

bool CTrivo::Load(QSettings &settings)
{
    (void)settings;
    return true;
}
