// The order in which the sprites of one dirty rectangle are drawn, back to
// front. There is no depth value: screen layers (1100 and above) follow a
// fixed precedence, world sprites (below 100) follow named rules about their
// kinds and their places on the 24-pixel grid.
//
// A comparison of N (the sprite being placed) against R (one already placed)
// answers -1 when N is behind R, +1 when N is in front, 0 when it knows no
// order. With log category DBG_SORT_RV on, every answer is traced under its
// rule name.
#pragma once

#include <vector>

class CSprite;

// The fixed precedence of the screen layers, the overlays and the power-ups.
int CompareFixed(CSprite* n, CSprite* r);
// The basic rules used to presort; never 0.
int CompareBasic(CSprite* n, CSprite* r);
// The full rules. force: always give an answer for far pairs; ignoreFar: let
// far pairs that would go behind answer 0 instead.
int CompareSprites(CSprite* n, CSprite* r, bool force, bool ignoreFar);

// The three ordering steps for one rectangle. collected holds the sprites
// that overlap it, in live-list order; afterwards it holds them back to
// front (the first entry is drawn first), the same as ordered.
void PresortDirtySprites(std::vector<CSprite*>& collected, std::vector<CSprite*>& ordered,
                         std::vector<CSprite*>& foreground);
void SortDirtySprites(std::vector<CSprite*>& collected, std::vector<CSprite*>& ordered,
                      std::vector<CSprite*>& foreground);
void PostsortForegroundSprites(std::vector<CSprite*>& collected, std::vector<CSprite*>& ordered,
                               std::vector<CSprite*>& foreground);
// All three in order.
void OrderDirtySprites(std::vector<CSprite*>& collected, std::vector<CSprite*>& ordered,
                       std::vector<CSprite*>& foreground);

// The name of the rule behind the last non-silent answer ("" before any);
// lets tests see which rule decided.
const char* LastPaintersRule();
