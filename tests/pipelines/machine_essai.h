#pragma once
// A machine that offers every part of the media libraries the filter
// catalogue asks for, and a sound card: tests take parts away from it.
#include "pipelines/registre_filtres.h"

namespace korvan::test {

inline CapacitesMachine machineComplete()
{
    CapacitesMachine c;
    c.lectureFichier = c.ecritureFichier = c.demuxeurAvi = c.demuxeurDv = true;
    c.muxeurDv = c.muxeurAvi = c.muxeurWav = c.decodeurDv = c.encodeurDv = true;
    c.conversionAudio = c.conversionCouleur = true;
    c.desentrelaceur = QStringLiteral("yadif");
    c.sortieAudioParDefaut = true;
    c.sortiesAudio = {{QStringLiteral("alsa:0"), QStringLiteral("Carte son intégrée")}};
    return c;
}

} // namespace korvan::test
