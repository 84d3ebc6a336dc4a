#pragma once
// Where the date and time packs of a DV frame lie, from the DV block layout
// written out here on its own (subcode sync blocks, VAUX packs, AAUX packs of
// every DIF sequence), and the clock every copy of them reads: the tests'
// own view of a frame's clock, independent of the program's pack table.
#include "analysis/dvcodes.h"
#include "support/trames_dv.h"

#include <QDateTime>
#include <QStringList>

#include <set>
#include <vector>

namespace korvan::test {

inline constexpr size_t kSequence = 12000;

inline int bcd(uint8_t octet) { return (octet & 0x0F) + 10 * (octet >> 4); }

// Where the date and time packs of a frame lie, from the DV block layout
// (subcode sync blocks, VAUX packs, AAUX packs of every DIF sequence), and
// the headers a date or time pack has in each area.
struct SlotPack {
    size_t position;
    bool audio;
};

inline std::vector<SlotPack> emplacements(size_t taille)
{
    std::vector<SlotPack> s;
    for (size_t seq = 0; seq < taille / kSequence; ++seq) {
        const size_t b = seq * kSequence;
        for (int bloc = 0; bloc < 2; ++bloc)
            for (int k = 0; k < 6; ++k)
                s.push_back({b + (1 + bloc) * 80 + 6 + 8 * k, false});
        for (int bloc = 0; bloc < 3; ++bloc)
            for (int p = 0; p < 15; ++p)
                s.push_back({b + (3 + bloc) * 80 + 3 + 5 * p, false});
        for (int a = 0; a < 9; ++a)
            s.push_back({b + (6 + 16 * a) * 80 + 3, true});
    }
    return s;
}

inline bool estDate(uint8_t h, bool audio) { return h == (audio ? 0x52 : 0x62); }
inline bool estHeure(uint8_t h, bool audio) { return h == (audio ? 0x53 : 0x63); }

// The date-time every date and time pack of the frame reads, or an invalid
// one when two copies disagree or there is no pack.
inline QDateTime horlogeCommune(const TrameDV& f, int* packs = nullptr)
{
    std::set<QString> dates, heures;
    for (const SlotPack& s : emplacements(f.size())) {
        const uint8_t* p = f.data() + s.position;
        if (estDate(p[0], s.audio))
            dates.insert(QStringLiteral("%1-%2-%3").arg(bcd(p[4])).arg(bcd(p[3] & 0x1F)).arg(bcd(p[2] & 0x3F)));
        else if (estHeure(p[0], s.audio))
            heures.insert(QStringLiteral("%1:%2:%3").arg(bcd(p[4] & 0x3F)).arg(bcd(p[3] & 0x7F)).arg(bcd(p[2] & 0x7F)));
        else
            continue;
        if (packs)
            ++*packs;
    }
    if (dates.size() != 1 || heures.size() != 1)
        return {};
    const QStringList d = dates.begin()->split('-');
    const QStringList h = heures.begin()->split(':');
    return QDateTime(QDate(2000 + d[0].toInt(), d[1].toInt(), d[2].toInt()), QTime(h[0].toInt(), h[1].toInt(), h[2].toInt()));
}

inline QDateTime horloge(const TDatecodeDV& d)
{
    return QDateTime(QDate(d.annee, d.mois, d.jour), QTime(d.heure, d.minute, d.seconde));
}

// Byte positions that may differ after a clock change: the four data bytes
// of the date and time packs the original frame holds.
inline std::set<size_t> octetsHorloge(const TrameDV& f)
{
    std::set<size_t> permis;
    for (const SlotPack& s : emplacements(f.size()))
        if (estDate(f[s.position], s.audio) || estHeure(f[s.position], s.audio))
            for (size_t i = 1; i <= 4; ++i)
                permis.insert(s.position + i);
    return permis;
}

} // namespace korvan::test
