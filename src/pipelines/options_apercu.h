#pragma once
// What the options panel sends to the preview's overlay filters when one of
// their settings changes there, and the redraw of the still picture after it.
#include "pipelines/interfaces_incrustation.h"
#include "platform/controles_options.h"

namespace korvan {

class Tviewdm;

// Sends the changed setting, read from its pref... value, to the filters it
// concerns; a filter that is not there (no preview with the overlay) gets
// nothing. dureeIncrust is in seconds: the preview's datecoder counts the
// automatic duration in seconds of the recording clock, as the preview's
// own build gives it. True when something was sent.
bool EnvoyerReglageApercu(ReglageApercu reglage, int dureeIncrust, ISuperposerParam3* superposer,
                          IDatecoderConfig* datecoder);

// The same to the preview module's filters, then the still picture drawn
// again with the new setting when the preview is not playing.
void MajApercuOptions(Tviewdm& apercu, ReglageApercu reglage, int dureeIncrust);

} // namespace korvan
