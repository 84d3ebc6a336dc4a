// Grouped positioned reads give what pread gives, by the kernel queue and
// without it: in the file, across and past its end, many at once, and on a
// descriptor that cannot be read.
#include "support/fixtures.h"

#include "scenes/lectures_groupees.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <string>
#include <vector>

using namespace korvan;
using namespace korvan::test;

namespace {

using Voie = LecturesGroupees::Voie;

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
    lectures.lire(demandes);
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
        lectures.lire(demandes);
        for (const auto& d : demandes)
            EXPECT_EQ(d.resultat, -EISDIR);
        std::vector<LecturesGroupees::Demande> aucune;
        lectures.lire(aucune);
    }
    ::close(repertoire);
}

INSTANTIATE_TEST_SUITE_P(Voies, LecturesGroupeesTest, ::testing::Values(Voie::Automatique, Voie::PreadSeul),
                         [](const auto& info) { return info.param == Voie::Automatique ? "Automatique" : "PreadSeul"; });
