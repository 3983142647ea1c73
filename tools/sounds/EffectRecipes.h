// One recipe per sound effect of the game, each built from the synthesizer's
// oscillators, noise, envelopes and filters to sound like what it names.
#pragma once

#include <string>

#include "Synth.h"

// Renders the effect called name (e.g. "gate_close.ogg") at rate into out,
// mono, normalized. loops tells whether the game repeats it (such effects are
// made seamless). False for a name without a recipe.
bool SynthesizeEffect(const std::string& name, int rate, SynthBuffer* out, bool* loops);
