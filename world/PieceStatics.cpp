#include "world/PieceStatics.h"

#include "world/CElementAIBot.h"
#include "world/pieces/CElementDeviceButton.h"
#include "world/pieces/CElementDeviceGate.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/CElementDeviceTube.h"
#include "world/pieces/CElementLadder.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/CElementTutorial.h"

const std::vector<PieceStatics>& AllPieceStatics() {
    using Button = CElementDeviceButton;
    using Powerup = CElementDevicePowerup;
    using Teleport = CElementDeviceTeleport;
    using Trampoline = CElementDeviceTrampoline;
    using Magnet = CElementObjectMagnet;
    static const std::vector<PieceStatics> kTable = {
        {"buttons", &Button::ResetStatics, &Button::SaveStatics, &Button::RestoreStatics, &Button::DescribeStatics},
        {"powerups", &Powerup::ResetStatics, &Powerup::SaveStatics, &Powerup::RestoreStatics,
         &Powerup::DescribeStatics},
        {"teleports", &Teleport::ResetStatics, &Teleport::SaveStatics, &Teleport::RestoreStatics,
         &Teleport::DescribeStatics},
        {"trampolines", &Trampoline::ResetStatics, &Trampoline::SaveStatics, &Trampoline::RestoreStatics,
         &Trampoline::DescribeStatics},
        {"magnets", &Magnet::ResetStatics, &Magnet::SaveStatics, &Magnet::RestoreStatics, &Magnet::DescribeStatics},
        {"tubes", &CElementDeviceTube::ResetStatics, nullptr, nullptr, &CElementDeviceTube::DescribeStatics},
        {"ladders", &CElementLadder::ResetStatics, nullptr, nullptr, &CElementLadder::DescribeStatics},
        {"signs", &ResetTutorialGrid, nullptr, nullptr, &CElementTutorial::DescribeStatics},
        {"bots", &CElementAIBot::ResetStatics, nullptr, nullptr, &CElementAIBot::DescribeStatics},
        {"gates", &CElementDeviceGate::ResetStatics, nullptr, nullptr, nullptr},
    };
    return kTable;
}
