// The sequential reader of chunks and the buffered file output: the same
// bytes as plain reads and writes whatever the layout of the chunks or the
// order of appends and rewrites, and their failures as FileError (a file
// cut short, a missing folder, a full disk).
#include "analysis/lecture_morceaux.h"
#include "analysis/sortie_octets.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <sys/mount.h>

using namespace korvan;
using namespace korvan::test;

TEST(LecteurMorceaux, GivesEachChunksBytesWhateverTheLayout)
{
    std::mt19937 h(11);
    std::vector<uint8_t> octets(24 << 20);
    for (auto& o : octets)
        o = uint8_t(h());
    const MemorySource source(octets.data(), octets.size());
    const auto suite = [](int64_t debut, uint32_t taille, int64_t ecart, int n) {
        std::vector<AviFrame> v;
        for (int i = 0; i < n; ++i)
            v.push_back({debut + i * (taille + ecart), taille, true});
        return v;
    };
    struct Cas {
        const char* nom;
        std::vector<AviFrame> morceaux;
    };
    std::vector<AviFrame> melange = suite(0, 1000, 0, 50);
    std::reverse(melange.begin() + 10, melange.begin() + 40);
    std::vector<AviFrame> avecVides = suite(100, 144000, 7688, 40);
    avecVides[3].size = 0;
    avecVides[17].size = 0;
    const Cas cas[] = {
        {"contigus", suite(0, 144000, 0, 100)},
        {"entrelaces", suite(12, 144000, 7688, 100)},
        {"ecarts plus grands que la tolerance", suite(0, 5000, LecteurMorceaux::kEcartMax + 1, 40)},
        {"plus grands que la fenetre", suite(3, uint32_t(LecteurMorceaux::kFenetre) + 17, 5, 3)},
        {"dans le desordre", melange},
        {"morceaux vides", avecVides},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        LecteurMorceaux l(source, c.morceaux);
        EXPECT_EQ(l.nombre(), c.morceaux.size());
        for (const AviFrame& m : c.morceaux) {
            ASSERT_FALSE(l.fini());
            const std::span<uint8_t> lu = l.lire();
            ASSERT_EQ(lu.size(), m.size);
            EXPECT_TRUE(std::equal(lu.begin(), lu.end(), octets.begin() + m.offset));
        }
        EXPECT_TRUE(l.fini());
        EXPECT_TRUE(l.lire().empty());
    }
    // Two windows take turns: a chunk's bytes stay until its window is read
    // into again, which the owner is told of first.
    {
        LecteurMorceaux l(source, suite(0, uint32_t(LecteurMorceaux::kFenetre), 0, 5));
        std::vector<int> relectures;
        l.avantRelecture = [&](int f) { relectures.push_back(f); };
        const std::span<uint8_t> a = l.lire();
        EXPECT_EQ(l.fenetre(), 0);
        const std::span<uint8_t> b = l.lire();
        EXPECT_EQ(l.fenetre(), 1);
        EXPECT_TRUE(relectures.empty());
        EXPECT_TRUE(std::equal(a.begin(), a.end(), octets.begin()));
        EXPECT_TRUE(std::equal(b.begin(), b.end(), octets.begin() + LecteurMorceaux::kFenetre));
        l.lire();
        l.lire();
        l.lire();
        EXPECT_EQ(relectures, (std::vector<int>{0, 1, 0}));
    }
    // A chunk the file no longer holds (cut since its index was read).
    LecteurMorceaux coupe(source, {{0, 10, true}, {int64_t(octets.size()) - 5, 10, true}});
    EXPECT_EQ(coupe.lire().size(), 10u);
    EXPECT_THROW(coupe.lire(), FileError);
}

TEST(SortieFichier, SameBytesAsMemoryWhateverTheAppendsAndRewrites)
{
    std::mt19937 h(5);
    ScratchDir d;
    const std::string chemin = d.path("sortie.bin");
    SortieMemoire memoire;
    // Bytes appended without a copy stay alive until the end.
    std::vector<std::vector<uint8_t>> gardes;
    {
        SortieFichier fichier(chemin);
        for (int i = 0; i < 400; ++i) {
            // Small and large appends, one larger than a lot; copied or not.
            const size_t n = i == 200 ? SortieFichier::kLot * 2 + 3 : size_t(h() % (300 << 10));
            std::vector<uint8_t> bloc(n);
            for (auto& o : bloc)
                o = uint8_t(h());
            memoire.ajouter(bloc.data(), n);
            if (i % 3 == 0) {
                fichier.ajouter(bloc.data(), n);
            } else {
                gardes.push_back(std::move(bloc));
                fichier.ajouterSansCopie(gardes.back().data(), n);
            }
            ASSERT_EQ(fichier.taille(), memoire.taille());
            // Rewrites anywhere, and waits for marks behind the end.
            if (i % 7 == 0) {
                const size_t k = std::min<size_t>(size_t(h() % 100000), size_t(memoire.taille()));
                const int64_t position = int64_t(h() % uint64_t(memoire.taille() - int64_t(k) + 1));
                std::vector<uint8_t> motif(k, uint8_t(i));
                fichier.recrire(position, motif.data(), k);
                memoire.recrire(position, motif.data(), k);
            }
            if (i % 11 == 0)
                fichier.attendreEcrit(fichier.taille() - int64_t(n / 2));
        }
        const uint8_t deux[2] = {};
        EXPECT_THROW(fichier.recrire(fichier.taille() - 1, deux, 2), FileError);
        fichier.terminer();
    }
    const std::string lu = readWholeFile(chemin);
    const std::string voulu(memoire.octets().begin(), memoire.octets().end());
    ASSERT_EQ(lu.size(), voulu.size());
    EXPECT_TRUE(lu == voulu);
}

TEST(SortieFichier, AMissingFolderOrAFullDiskIsAFileError)
{
    ScratchDir d;
    try {
        SortieFichier f(d.path("absent/sortie.bin"));
        FAIL() << "created in a missing folder";
    } catch (const FileError& e) {
        EXPECT_EQ(e.erreur(), ENOENT);
    }
    // A disk of 1 MiB (a tmpfs, where this process may mount one).
    const std::string disque = d.path("disque");
    ASSERT_EQ(::mkdir(disque.c_str(), 0700), 0);
    if (::mount("tmpfs", disque.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    int erreur = 0;
    const std::vector<uint8_t> bloc(1 << 20, 0x5A);
    try {
        SortieFichier f(disque + "/sortie.bin");
        for (int i = 0; i < 4; ++i)
            f.ajouterSansCopie(bloc.data(), bloc.size());
        f.terminer();
    } catch (const FileError& e) {
        erreur = e.erreur();
    }
    ::umount(disque.c_str());
    EXPECT_EQ(erreur, ENOSPC);
}
