#include "engine_holder.h"

bool EngineHolder::Acquire(EngineUser user)
{
    EngineUser expected = EngineUser::None;
    return user != EngineUser::None && mUser.compare_exchange_strong(expected, user);
}

void EngineHolder::Release(EngineUser user)
{
    EngineUser expected = user;
    mUser.compare_exchange_strong(expected, EngineUser::None);
}

const char *EngineHolder::UserName(EngineUser user)
{
    switch (user) {
    case EngineUser::None:
        return "nobody";
    case EngineUser::Discovery:
        return "discover thread";
    case EngineUser::Dhcp:
        return "DHCP thread";
    case EngineUser::Update:
        return "update thread";
    }
    return "unknown thread";
}
