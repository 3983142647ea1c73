// The image caches by screen group: at start-up, after the preload, five
// groups decode the images the busiest screens use and make the copies and
// text images derived from them. They keep one reference on everything they
// request or register, for the whole run.
#pragma once

void cacheMain();
void cacheMap();
void cacheGame();
void cacheGameBot();
void cacheGameButton();
void cacheGameGunshot();
void cacheGameGate();
void cacheGamePowerup();
void cacheGameTramp();
void cacheGameTerrain();
void cacheGameBarrels();
void cacheGameMagnets();
void cacheGameCrates();
void cacheGameTubes();
void cacheGameProf();
void cacheGameTeleports();
void cacheButtons();
void cacheFadedImages();

// What the groups did since the last reset: image requests (per call),
// copies and text images registered, progress steps of 100.
struct CacheCounts {
    int requests = 0;
    int copies = 0;
    int texts = 0;
    int steps = 0;
};
CacheCounts GetCacheCounts();
void ResetCacheCounts();
