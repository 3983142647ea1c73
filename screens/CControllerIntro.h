// The first screen and the root of the screen stack: the maker's logo fades
// in and blinks its eyes, up to two splash pictures follow, each fading in
// over the one before, and then the main menu opens. The last picture on
// screen is handed to the main menu, which owns it from then on and fades it
// out. When the main menu closes, the intro closes too and the program ends.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/CController.h"
#include "engine/CSprite.h"

class CControllerMain;

class CControllerIntro : public CController {
public:
    // Milliseconds of the timeline, counted from the end of the logo's fade.
    static constexpr int kFadeMs = 750;
    static constexpr int kSplash1At = 3001;
    static constexpr int kSplash2At = 6001;
    static constexpr int kMenuAt = 9000;

    CControllerIntro();
    ~CControllerIntro() override;

    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    bool HasSplash(int n) const;
    int GetStartTime() const { return startTime; }
    bool AreImagesLoaded() const { return imagesLoaded != 0; }
    CControllerMain* GetMainMenu() const { return mainMenu.get(); }
    CSprite* GetEyes() const { return eyes.get(); }

    // The clock of the timeline (SDL_GetTicks by default; null restores it).
    using Clock = uint32_t (*)();
    static void SetClock(Clock clock);

private:
    void LoadSplashImages();
    std::unique_ptr<CSprite> LoadSplash(const char* file, const char* imageName, const char* logLine,
                                        SpriteLayer layer, const char* debugName);
    void updateSprites();
    void LoadMainMenu();
    // Takes the picture on top out of the intro's hands, for the main menu.
    std::unique_ptr<CSprite> TakePictureOnTop();
    void ReleaseSprites();
    int Elapsed() const;

    std::unique_ptr<CSprite> logo;
    std::unique_ptr<CSprite> eyes;
    std::unique_ptr<CSprite> splash1;
    std::unique_ptr<CSprite> splash2;
    // The picture faded in last (one of the above): the one left on screen.
    CSprite* onTop;
    uint8_t imagesLoaded;
    int startTime;
    std::unique_ptr<CControllerMain> mainMenu;
};
