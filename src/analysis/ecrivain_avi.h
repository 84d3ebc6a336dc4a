#pragma once
// The AVI writer: streams of chunks written in the order they come, in a
// file that AVI 1.0 readers and OpenDML readers both take whole. The first
// RIFF 'AVI ' holds the headers, the first 'movi' list and its 'idx1'; past
// 1 GiB the data goes on in RIFF 'AVIX' extensions. Every 'movi' list ends
// with one standard index ('ix##') per stream, which the streams' super
// indexes ('indx') in the header list name, and 'dmlh' holds the total
// frame count. Memory holds the index of the current RIFF only, so it does
// not grow with the length of the clip.
#include "analysis/avi_structs.h"
#include "analysis/sortie_octets.h"

#include <cstdint>
#include <vector>

namespace korvan {

// A stream as the writer receives it: its header (type, handler, rate, sample
// size, frame rectangle; the writer fills dwLength and dwSuggestedBufferSize),
// its format block and the id of its chunks ("00dc", "01wb").
struct FluxEcrit {
    TAvistream entete;
    std::vector<uint8_t> format;
    FourCC idMorceau;
};

// The whole picture: frame time in microseconds, frame size.
struct ImageAvi {
    uint32_t microSecondesParImage = 0;
    int32_t largeur = 0;
    int32_t hauteur = 0;
};

class EcrivainAvi {
public:
    // The size a RIFF chunk stays under, indexes included.
    static constexpr int64_t kTailleRiff = int64_t(1) << 30;
    // Room in each super index: one entry per RIFF, 1 TiB of data.
    static constexpr uint32_t kEntreesSuperIndex = 1024;

    // Writes the header at once (counts filled in by terminer). Stream 0 is
    // the one whose chunks are the frames counted in the headers. tailleRiff:
    // smaller RIFF chunks, for tests.
    EcrivainAvi(SortieOctets& sortie, std::vector<FluxEcrit> flux, const ImageAvi& image,
                int64_t tailleRiff = kTailleRiff);

    // The file gets the OpenDML indexes only, without the AVI 1.0 'idx1'
    // (as a fully interleaved OpenDML writer does). Before the first chunk.
    void sansIdx1() { avecIdx1_ = false; }
    // One chunk of a stream. sansCopie: its bytes stay where they are until
    // the output has written them (SortieOctets::ajouterSansCopie). Throws
    // FileError when the output fails.
    void ecrire(size_t flux, const uint8_t* donnees, uint32_t taille, bool sansCopie = false);
    // A new format block for a stream, of the size it had: written with the
    // final header (a format known from the first chunk written).
    void remplacerFormat(size_t flux, const std::vector<uint8_t>& format);
    // Closes the last RIFF, writes its indexes and the final header values,
    // and hands everything to the file.
    void terminer();

    const std::vector<FluxEcrit>& flux() const { return flux_; }
    // Chunks of a stream written so far.
    int64_t morceaux(size_t flux) const { return etats_[flux].morceaux; }

private:
    struct EntreeIndex {
        uint32_t decalage; // data from the 'movi' list's base
        uint32_t taille;
    };
    struct EtatFlux {
        int64_t morceaux = 0;
        int64_t octets = 0;
        uint32_t plusGrand = 0;
        int64_t morceauxPremierRiff = 0;
        std::vector<EntreeIndex> index; // this RIFF's chunks
        std::vector<uint8_t> superIndex; // 16 bytes an entry
        uint32_t entreesSuperIndex = 0;
        size_t positionStrh = 0;         // in the header block
        size_t positionIndx = 0;
        size_t positionStrf = 0;
    };

    void ouvrirRiff(bool premier);
    void fermerRiff();
    int64_t tailleIndexes() const; // the indexes this RIFF would end with
    void ajouter(const void* octets, size_t n);
    void ajouterU32(uint32_t v);
    void finChunk(int64_t position); // sets the size of the chunk opened at position

    SortieOctets& sortie_;
    std::vector<FluxEcrit> flux_;
    ImageAvi image_;
    int64_t tailleRiff_;
    std::vector<EtatFlux> etats_;
    std::vector<uint8_t> entete_; // RIFF header, 'hdrl' and the 'movi' list header
    size_t positionAvih_ = 0;
    size_t positionDmlh_ = 0;
    int64_t debutRiff_ = 0;
    int64_t debutMovi_ = 0; // the 'LIST' of the current 'movi'
    bool premierRiff_ = true;
    std::vector<uint8_t> idx1_;
    bool termine_ = false;
    bool avecIdx1_ = true;
};

} // namespace korvan
