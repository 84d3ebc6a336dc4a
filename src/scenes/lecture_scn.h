#pragma once
// Reading a scene file back (layout in fichier_scn.h) and the preview's scene
// stepping built on it. A damaged file never stops the reader with more than
// a failed read: stepping then uses the boundaries read so far.
//
// Kept apart from the writer and the detection so it builds with the
// analysis layer alone (the fuzz target compiles it on its own).
#include "analysis/file_io.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace korvan {

class LecteurScn {
public:
    LecteurScn() = default;
    // Reads from bytes already open (a file, memory).
    explicit LecteurScn(std::shared_ptr<const ByteSource> source);

    // Opens the file read-only and reads its header: the scene count and the
    // first boundary (the first frame of the second scene, or the end of the
    // clip for a single scene). False when it cannot be opened or a read
    // fails.
    bool LireEnteteScn(const QString& chemin);
    // The same on the source given at construction.
    bool LireEnteteScn();
    // The first frame of the next scene; false past the end of the file.
    bool LireSceneSuivante(int32_t& limite);
    void Fermer();

    uint16_t nombre() const { return nombre_; }
    int32_t premiereLimite() const { return premiereLimite_; }

private:
    bool lire(void* tampon, size_t n);
    void sauter(int64_t n) { position_ += n; }

    std::shared_ptr<const ByteSource> source_;
    int64_t position_ = 0;
    uint16_t nombre_ = 0;
    int32_t premiereLimite_ = 0;
};

// The frame "next scene" goes to from frame courante: the first scene start
// after it, or the end (duree, in frames) when there is none. Nothing (the
// preview stays) when the header cannot be read. The result lies in 0..duree.
std::optional<int64_t> CibleSceneSuivante(LecteurScn& lecteur, int64_t courante, int64_t duree);
// The frame "previous scene" goes to: the last scene start before courante,
// or 0. Nothing when the header cannot be read. The result lies in 0..duree.
std::optional<int64_t> CibleScenePrecedente(LecteurScn& lecteur, int64_t courante, int64_t duree);

// The same on a scene file on disk.
std::optional<int64_t> CibleSceneSuivante(const QString& cheminScn, int64_t courante, int64_t duree);
std::optional<int64_t> CibleScenePrecedente(const QString& cheminScn, int64_t courante, int64_t duree);

} // namespace korvan
