// Renders a music track from its note-pattern source (assets/sounds/*.txt):
//   bpm N                      tempo in quarter notes a minute
//   bars N                     loop length in 4/4 bars
//   voice NAME WAVE AMP PAN ATTACK HOLD RELEASE [lowpass HZ] [vibrato HZ SEMITONES]
//                              HOLD: fraction of each note held before it decays
//   section NAME TOKENS...     a named run of tokens (sections may use sections)
//   play NAME TOKENS...        appends to a voice's part
//   drums TOKENS...            appends to the drum part: strings of k (kick),
//                              s (snare), h (hat), o (open hat), . (rest), one
//                              sixteenth each, or section names
//   drumvol AMP
// A note token is NOTE/LENGTH with the length in sixteenths: C4/4, F#3/2,
// Bb2/8, a chord A3+C4+E4/16, a rest -/4. A word starting with # starts a
// comment. Every part repeats to fill the loop;
// note tails run over the end into the start, so the track loops seamlessly.
#pragma once

#include <string>

#include "Synth.h"

bool RenderMusic(const std::string& source, int rate, SynthBuffer* left, SynthBuffer* right, std::string* error);
