#pragma once
// Texts for media facts shown in the list, the information panel and the
// system report: durations, audio format names, the DirectX version.
#include <QString>
#include <cstdint>

namespace korvan {

// Both in 100-ns units: the duration, and the duration of one frame.
// "1h 02mn 03s 04fr", "12mn 34s 12fr", "5s 00fr", "12fr". Hours are not
// limited to 24. A frame duration of 0 or less counts 0 frames.
QString TexteDuree(int64_t duree, int64_t dureeImage);

// In 100-ns units: "1h 02mn 03s 004ms", "1s 234ms", "500millièmes".
QString TexteDureeMs(int64_t duree);

// Name of a WAVE format tag ("PCM" for 1), "Inconnu" for a tag not in the table.
QString NomFormatAudio(uint16_t tag);

// The DirectX version as shown ("9.0c") from the text of the "Version" value
// of HKLM\Software\Microsoft\DirectX (such as "4.09.00.0904"). Text that is
// empty or not of that dotted form gives "Erreur".
QString VersionDirectXDepuisTexte(const QString& valeur);

} // namespace korvan
