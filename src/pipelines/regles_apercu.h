#pragma once
// The preview panel's rules that need no window: the video area's geometry,
// the position label, the frame ring's labels, stepping amounts and the
// track bar's value. The panel (ui) applies them.
#include "analysis/dvcodes.h"

#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>

namespace korvan {

// Width of the panel column the video is centred in, and its largest size.
inline constexpr int kLargeurColonneVideo = 288;
inline constexpr int kLargeurVideoMax = 240;
inline constexpr int kHauteurVideoMax = 180;

// Where the video goes for a picture of that size: 240 wide at left 24 when
// wider than 4:3, else 180 high centred in the column. Empty without a size.
QRect GeometrieVideo(int32_t largeur, int32_t hauteur);

// The position label: "h:mm:ss:ff" for frames at fps, "h:mm:ss:mmm" for
// 100-nanosecond units when fps is 0.
QString TexteTimeStamp(int64_t position, double fps);

// What the labels of the frame on screen become; nothing when they stay as
// they are (a slot still waiting, annee -2, or below).
std::optional<QString> TexteDatecodeSlot(const TDatecodeDV& d, const QString& formatAfficher);
QString TexteTimecodeSlot(const TTimecodeDV& t);

// One frame in 100-nanosecond units at fps, rounded; 0 when fps is 0.
int64_t PasImage(double fps);
inline constexpr int64_t kPasSeconde = 10'000'000;
inline constexpr int64_t kPasMinute = 600'000'000;

// The track bar (0..1000) for a position in a duration; nothing without a duration.
std::optional<int> CurseurDepuis(int64_t position, int64_t duree);
// The position a track bar value stands for.
int64_t PositionDepuisCurseur(int curseur, int64_t duree);

} // namespace korvan
