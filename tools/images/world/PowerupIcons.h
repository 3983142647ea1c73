// The pictograms of the power-up kinds, shared by the power-ups on the board,
// the professor's inventory and the editor's power-up pieces.
#pragma once

#include <cairo.h>

namespace worldart {

enum class PowerKind { Crate, Barrel, Magnet, Emp, FrostGun, HeatGun, Bridge, Whistle, TeleportBlue,
                       TeleportYellow, TeleportRed };

// Draws the pictogram centred on the origin, about 20 px across.
void DrawPowerIcon(cairo_t* cr, PowerKind kind);
// The soft halo ring behind a power-up on the board, centred on the origin.
void DrawPowerHalo(cairo_t* cr, double pulse);

}  // namespace worldart
