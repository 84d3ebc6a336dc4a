#include "fuzz_scenes.h"

#include "analysis/file_io.h"
#include "scenes/lecture_scn.h"

#include <algorithm>
#include <memory>

namespace korvan::fuzz {

namespace {

// Bytes a header read needs at the least: both blocks around an empty path
// and the first record up to its path length.
constexpr size_t kOctetsMinLecture = 33 + 32 + 11;
constexpr int64_t kOctetsEnregistrement = 35;

} // namespace

bool fuzzLecteurScn(const uint8_t* data, size_t size)
{
    // The source does not own the bytes: keep it alive no longer than this call.
    const auto source = std::make_shared<MemorySource>(data, size);

    LecteurScn lecteur(source);
    if (lecteur.LireEnteteScn()) {
        // The header's last read (the second path length) is byte 75 + Lp.
        if (size < kOctetsMinLecture)
            return false;
        // Records follow one another 35 bytes apart: the reads end with the bytes.
        int32_t limite = 0;
        int64_t lus = 0;
        while (lecteur.LireSceneSuivante(limite))
            if (++lus * kOctetsEnregistrement > int64_t(size))
                return false;
    }

    const int64_t duree = 1000;
    for (const int64_t courante : {int64_t(0), int64_t(1), int64_t(13), int64_t(500), duree}) {
        LecteurScn avant(source);
        if (const auto t = CibleSceneSuivante(avant, courante, duree)) {
            if (*t < 0 || *t > duree || !(*t > courante || *t == duree))
                return false;
        }
        LecteurScn arriere(source);
        if (const auto t = CibleScenePrecedente(arriere, courante, duree)) {
            if (*t < 0 || *t > duree || !(*t < courante || *t == 0))
                return false;
        }
    }
    return true;
}

} // namespace korvan::fuzz
