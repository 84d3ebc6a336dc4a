// Grouped positioned reads give what pread gives, by the kernel queue and
// without it: in the file, across and past its end, many at once, and on a
// descriptor that cannot be read.
#include "support/fixtures.h"

#include "analysis/avi_demuxer.h"
#include "analysis/dvcodes.h"
#include "scenes/balayage_scenes.h"
#include "scenes/lectures_groupees.h"

#include <QString>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <span>
#include <iostream>
#include <string>
#include <vector>

using namespace korvan;
using namespace korvan::test;

namespace {

using Voie = LecturesGroupees::Voie;

// Reads every request as the scan does: lots of kProfondeur, the next one
// handed over before the current one is waited for.
void lireTout(LecturesGroupees& lectures, std::span<LecturesGroupees::Demande> demandes)
{
    const size_t p = LecturesGroupees::kProfondeur;
    const auto lot = [&](size_t k) { return demandes.subspan(k * p, std::min(p, demandes.size() - k * p)); };
    const size_t lots = (demandes.size() + p - 1) / p;
    if (lots > 0)
        lectures.soumettre(lot(0));
    for (size_t k = 0; k < lots; ++k) {
        if (k + 1 < lots)
            lectures.soumettre(lot(k + 1));
        lectures.attendre(lot(k));
    }
}

class LecturesGroupeesTest : public ::testing::TestWithParam<Voie> {
protected:
    void SetUp() override
    {
        contenu_.resize(300'000);
        for (size_t i = 0; i < contenu_.size(); ++i)
            contenu_[i] = char((i * 7919) >> 3);
        chemin_ = dossier_.path("donnees.bin");
        writeWholeFile(chemin_, contenu_);
        fd_ = ::open(chemin_.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd_, 0);
    }
    void TearDown() override { ::close(fd_); }

    ScratchDir dossier_;
    std::string chemin_;
    std::string contenu_;
    int fd_ = -1;
};

} // namespace

TEST_P(LecturesGroupeesTest, ManyReadsGiveTheFileBytesAndShortReadsAtTheEnd)
{
    LecturesGroupees lectures(fd_, GetParam());
    if (GetParam() == Voie::PreadSeul) {
        EXPECT_FALSE(lectures.fileNoyau());
    } else if (!lectures.fileNoyau()) {
        std::cout << "[ note ] this kernel refuses io_uring: both variants test pread\n";
    }
    // More requests than one submission holds, spread over the file, the
    // last ones across and beyond its end.
    const size_t n = LecturesGroupees::kProfondeur * 3 + 5;
    std::vector<std::string> tampons(n, std::string(468, '\0'));
    std::vector<LecturesGroupees::Demande> demandes(n);
    for (size_t i = 0; i < n; ++i)
        demandes[i] = {int64_t(i * 1487), tampons[i].data(), 468, 12345};
    demandes[n - 3].position = int64_t(contenu_.size()) - 100;
    demandes[n - 2].position = int64_t(contenu_.size());
    demandes[n - 1].position = int64_t(contenu_.size()) + 5000;
    lireTout(lectures, demandes);
    for (size_t i = 0; i < n; ++i) {
        const auto& d = demandes[i];
        const int64_t attendu = std::clamp<int64_t>(int64_t(contenu_.size()) - d.position, 0, 468);
        ASSERT_EQ(d.resultat, attendu) << "request " << i;
        EXPECT_EQ(tampons[i].substr(0, size_t(attendu)), contenu_.substr(size_t(std::min<int64_t>(d.position, int64_t(contenu_.size()))), size_t(attendu)))
            << "request " << i;
    }
}

TEST_P(LecturesGroupeesTest, AnUnreadableDescriptorGivesErrorsNotBytes)
{
    const int repertoire = ::open(dossier_.path("").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(repertoire, 0);
    {
        LecturesGroupees lectures(repertoire, GetParam());
        char tampon[16];
        std::vector<LecturesGroupees::Demande> demandes(3, {0, tampon, sizeof tampon, 0});
        lireTout(lectures, demandes);
        for (const auto& d : demandes)
            EXPECT_EQ(d.resultat, -EISDIR);
        std::vector<LecturesGroupees::Demande> aucune;
        lireTout(lectures, aucune);
    }
    ::close(repertoire);
}

INSTANTIATE_TEST_SUITE_P(Voies, LecturesGroupeesTest, ::testing::Values(Voie::Automatique, Voie::PreadSeul),
                         [](const auto& info) { return info.param == Voie::Automatique ? "Automatique" : "PreadSeul"; });

// The frames' packs of a clip of several lots, read by the scan's source in
// the orders a scan and its steps make (straight through, back, ahead, at
// random), are the bytes at each frame's place: whichever thread read the
// lot, whatever lots were in flight when the order changed.
TEST(SourceImagesAviLots, EveryOrderOfReadingGivesEachFramesOwnBytes)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    const std::string clip = d.path("dix.avi");
    ASSERT_EQ(std::system(("ffmpeg -hide_banner -loglevel error -y -stream_loop 9 -i '" + fixture("pal_scenes_merge.avi")
                           + "' -c copy '" + clip + "'")
                              .c_str()),
              0);
    const std::vector<AviFrame> images = AviDemuxer::ouvrir(clip).frameIndex(0);
    ASSERT_GT(images.size(), 3 * LecturesGroupees::kProfondeur);
    const std::string octets = readWholeFile(clip);
    const int64_t n = int64_t(images.size());

    std::mt19937 tirage(21);
    std::vector<int64_t> auHasard(600);
    for (int64_t& i : auHasard)
        i = std::uniform_int_distribution<int64_t>(0, n - 1)(tirage);
    std::vector<int64_t> toutDroit(static_cast<size_t>(n));
    std::vector<int64_t> aRebours;
    std::iota(toutDroit.begin(), toutDroit.end(), 0);
    aRebours.assign(toutDroit.rbegin(), toutDroit.rend());
    // Straight through with a step back into the previous lot and a leap ahead.
    std::vector<int64_t> pas = toutDroit;
    pas.insert(pas.begin() + 300, {120, 121, 5, 400, 401, 402});
    const std::pair<const char*, const std::vector<int64_t>*> ordres[] = {
        {"straight", &toutDroit}, {"backwards", &aRebours}, {"steps", &pas}, {"random", &auHasard}};
    for (const auto& [nom, ordre] : ordres) {
        SCOPED_TRACE(nom);
        auto source = SourceImagesAvi(QString::fromStdString(clip));
        ASSERT_TRUE(source->ouvrir());
        ASSERT_EQ(source->nombreImages(), n);
        uint8_t tampon[kOctetsPacksDV];
        int fautes = 0;
        for (const int64_t i : *ordre) {
            const AviFrame& f = images[size_t(i)];
            const size_t attendu = std::min<size_t>(f.size, kOctetsPacksDV);
            const size_t lu = source->lirePacks(i, tampon);
            if (lu != attendu || std::memcmp(tampon, octets.data() + f.offset, lu) != 0)
                ++fautes;
        }
        EXPECT_EQ(fautes, 0);
    }
}
