#pragma once
// The scene file (".scn" beside the clip): a small binary file listing where
// each scene after the first starts, which the preview reads back to step
// from scene to scene. Written by one run at a time through the three scene
// routines; integers little-endian.
//
//   block A   63 26 01 00 04 00 00 00 FF FF 03 00 0A 00 "SourceTape" Lp path 00x8
//   block B   count(u16) FF FF 01 00 04 00 "ClipP" 00x3 FF FF 01 00 05 00 "Scene" 00x5
//   record 1  E(i32) 00 00 00 00 01 80 Lp path 00x8 E(i32)            E = end of scene 1 + 1
//   record k  03 80 F0 00 00 00 05 80 00 S N 00 00 00 00 07 00 S N S  S = first frame, N = frames
#include "analysis/aviFichier.h"
#include "scenes/ScenesParam.h"

#include <QString>
#include <cstdint>
#include <string>

namespace korvan {

// At most this many records: the count is a signed 16-bit field for the
// programs that read these files.
inline constexpr int32_t kMaxScenesScn = 32767;
// The path is stored behind a one-byte length.
inline constexpr size_t kMaxOctetsCheminScn = 255;

// The scene file of a clip: its path with the extension ".scn".
QString CheminFichierScn(const QString& cheminClip);

// The path as stored in the scene file: the local 8-bit form, cut to at most
// 255 bytes at a character boundary.
std::string CheminOctetsScn(const QString& chemin);

// Replaces the scene file of the entry with one holding the headers; ok false
// when it cannot be created (no file is left then).
void OuvrirScn(const TAfficherFichier& entree, bool& ok);
// Appends a scene. A scene ending at frame 0 and scenes beyond the 32,767th
// are not written. Throws FileError when the file cannot be written (the run
// then ends; the records written so far stay counted).
void EcrireSceneScn(const TSceneInfo& scene);
// Writes the count of records and closes the file; nothing when none is open.
void FermerScn();

} // namespace korvan
