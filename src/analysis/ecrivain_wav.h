#pragma once
// The WAV writer: a RIFF 'WAVE' file of one format block and one data chunk.
// Room for a 'ds64' chunk is kept after the form type as a JUNK chunk, so
// that sound past 4 GiB turns the file into an RF64 file (EBU Tech 3306) in
// place once its size is known: 'RF64' instead of 'RIFF', the 64-bit sizes
// in 'ds64', FFFFFFFF in the 32-bit size fields. Shorter files stay plain
// WAV files that every reader takes.
#include "analysis/sortie_octets.h"

#include <cstdint>
#include <vector>

namespace korvan {

// The header of a WAV file with that format block ('fmt ' data) and that
// many data bytes; the data follow it, then a pad byte when their count is odd.
std::vector<uint8_t> EnteteWav(const std::vector<uint8_t>& format, uint64_t octetsDonnees);

class EcrivainWav {
public:
    EcrivainWav(SortieOctets& sortie, std::vector<uint8_t> format);
    // sansCopie: as EcrivainAvi::ecrire.
    void ecrire(const uint8_t* donnees, size_t taille, bool sansCopie = false);
    // Writes the final header and hands everything to the file.
    void terminer();
    uint64_t octets() const { return octets_; }

private:
    SortieOctets& sortie_;
    std::vector<uint8_t> format_;
    uint64_t octets_ = 0;
    bool termine_ = false;
};

} // namespace korvan
