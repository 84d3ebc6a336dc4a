#pragma once
// A run's file output as a slow or full disk makes it: held at its n-th
// append until a condition holds, or failing with ENOSPC once it would pass
// a size. Tests hand it to the conversion module to stop a run at a chosen
// point, deterministically.
#include "analysis/sortie_octets.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace korvan::test {

struct RegleSortie {
    int retenue = -1;                // the append that waits; -1: none
    std::function<bool()> liberee;   // polled while it waits
    int64_t limite = -1;             // bytes the disk takes; -1: no limit
    std::atomic<bool> atteinte{false}; // the held append was reached
};

class SortieRetenue final : public SortieOctets {
public:
    SortieRetenue(const std::string& chemin, RegleSortie& regle) : fichier_(chemin), regle_(regle) {}

    void ajouter(const void* o, size_t n) override
    {
        if (++appels_ == regle_.retenue) {
            regle_.atteinte = true;
            while (!regle_.liberee || !regle_.liberee())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (regle_.limite >= 0 && fichier_.taille() + int64_t(n) > regle_.limite)
            throw FileError("cannot write", ENOSPC);
        fichier_.ajouter(o, n);
    }
    void recrire(int64_t p, const void* o, size_t n) override { fichier_.recrire(p, o, n); }
    int64_t taille() const override { return fichier_.taille(); }
    void terminer() override { fichier_.terminer(); }

    // A module's output factory that makes this output with the rule.
    static std::function<std::unique_ptr<SortieOctets>(const std::string&)> fabrique(RegleSortie& regle)
    {
        return [&regle](const std::string& c) { return std::make_unique<SortieRetenue>(c, regle); };
    }

private:
    SortieFichier fichier_;
    RegleSortie& regle_;
    int appels_ = 0;
};

} // namespace korvan::test
