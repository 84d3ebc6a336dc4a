#pragma once
// What the header-fix commands change in a file, read back for the tests:
// the video stream header's scale and rate, and the permission bits.
#include "analysis/bytes.h"
#include "analysis/fpsunit.h"
#include "support/fixtures.h"

#include <QString>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace korvan::test {

struct Echelle {
    uint32_t scale = 0, rate = 0;
    bool operator==(const Echelle&) const = default;
};

// Read at the positions the locator gives (its own tests check them against
// MediaInfo and ffprobe).
inline Echelle echelleDe(const QString& chemin)
{
    const std::string octets = readWholeFile(chemin.toStdString());
    const PositionsEntetes p = LocaliserEntetes(chemin.toStdString());
    if (!p)
        return {};
    const auto* b = reinterpret_cast<const uint8_t*>(octets.data()) + p.positionEchelle;
    return {lireU32(b), lireU32(b + 4)};
}

inline mode_t modeDe(const QString& chemin)
{
    struct stat st {};
    EXPECT_EQ(::stat(chemin.toLocal8Bit().constData(), &st), 0);
    return st.st_mode & 07777;
}

} // namespace korvan::test
