// The common base of the devices: floor buttons, gates, gunshots, power-ups,
// teleports, trampolines and tubes. A device can fall (and breaks when it
// does), never slides, and does not stand in the element grid by itself. The
// base keeps a list of every live device in order of creation (the element
// list owns them) and the breaking sound the devices play when they fall.
#pragma once

#include <vector>

#include "world/CElement.h"

class CSoundObject;

class CElementDevice : public CElement {
public:
    CElementDevice(int x, int y);
    ~CElementDevice() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    int GetSlide() override;
    int GetSurfaceFriction() override;
    void PrintState() override;
    void PrintSprites() override;

    static void PrintAllDevices();
    static const std::vector<CElementDevice*>& GetAllDevices() { return allDevices; }

protected:
    // The break rule the devices share, run at the start of their update: a
    // device whose fall has begun plays its breaking sound once and is
    // destroyed; a destroyed device stays where it is and falls no further.
    // True when the device is broken: the caller skips its own rules and only
    // draws (the break animation).
    bool UpdateBreak();
    // One sprite line of PrintSprites.
    void PrintSpriteLine(CSprite* s) const;

    CSoundObject* soundBreaking = nullptr;  // "device_breaking.ogg"

private:
    static std::vector<CElementDevice*> allDevices;
};
