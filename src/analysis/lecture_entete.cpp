#include "analysis/lecture_entete.h"

#include <algorithm>
#include <dirent.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace korvan {

namespace {

void remplirEtat(const struct stat& st, EtatFichier& etat)
{
    etat.existe = !S_ISDIR(st.st_mode);
    etat.reguliere = S_ISREG(st.st_mode);
    etat.taille = int64_t(st.st_size);
    etat.mode = st.st_mode;
    etat.modification = st.st_mtim;
    etat.acces = st.st_atim;
    etat.changement = st.st_ctim;
    etat.naissance = {0, 0};
}

#ifdef STATX_BTIME
timespec temps(const statx_timestamp& t)
{
    return {time_t(t.tv_sec), long(t.tv_nsec)};
}

// statx on a path, or on fd itself with an empty path. -1 when the kernel or
// a sandbox refuses statx: the caller falls back to stat.
int lireStatx(int dirfd, const char* chemin, int drapeaux, EtatFichier& etat)
{
    struct statx sx {};
    if (::statx(dirfd, chemin, drapeaux | AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return errno == ENOSYS || errno == EPERM ? -1 : 0;
    etat.existe = !S_ISDIR(sx.stx_mode);
    etat.reguliere = S_ISREG(sx.stx_mode);
    etat.taille = int64_t(sx.stx_size);
    etat.mode = sx.stx_mode;
    etat.modification = temps(sx.stx_mtime);
    etat.acces = temps(sx.stx_atime);
    etat.changement = temps(sx.stx_ctime);
    etat.naissance = (sx.stx_mask & STATX_BTIME) ? temps(sx.stx_btime) : timespec{0, 0};
    return 1;
}
#endif

} // namespace

bool LireEtatFichier(const std::string& chemin, EtatFichier& etat)
{
    etat = {};
#ifdef STATX_BTIME
    if (const int r = lireStatx(AT_FDCWD, chemin.c_str(), 0, etat); r >= 0)
        return r == 1;
#endif
    struct stat st {};
    if (::stat(chemin.c_str(), &st) != 0)
        return false;
    remplirEtat(st, etat);
    return true;
}

bool NomsDossiers::lister(const std::string& dossier)
{
    DIR* d = ::opendir(dossier.c_str());
    if (!d)
        return false;
    Dossier liste{dossier, {}, {}};
    while (const dirent* e = ::readdir(d)) {
        // A symbolic link exists only if its target does, and some file
        // systems do not tell the kind: those names get their own stat.
        auto& noms = e->d_type == DT_LNK || e->d_type == DT_UNKNOWN ? liste.aVerifier : liste.presents;
        noms.emplace_back(e->d_name);
    }
    ::closedir(d);
    std::sort(liste.presents.begin(), liste.presents.end());
    std::sort(liste.aVerifier.begin(), liste.aVerifier.end());
    dossiers_.push_back(std::move(liste));
    return true;
}

bool NomsDossiers::existe(const std::string& chemin) const
{
    const size_t barre = chemin.rfind('/');
    const std::string dossier = barre == std::string::npos ? "." : barre == 0 ? "/" : chemin.substr(0, barre);
    const std::string nom = barre == std::string::npos ? chemin : chemin.substr(barre + 1);
    const auto liste = std::find_if(dossiers_.begin(), dossiers_.end(), [&](const Dossier& d) { return d.chemin == dossier; });
    EtatFichier etat;
    if (liste == dossiers_.end() || std::binary_search(liste->aVerifier.begin(), liste->aVerifier.end(), nom))
        return LireEtatFichier(chemin, etat);
    return std::binary_search(liste->presents.begin(), liste->presents.end(), nom);
}

SourceEntete::SourceEntete(const std::string& chemin) : chemin_(chemin)
{
    // Non-blocking, as BinaryFile opens: a FIFO named *.avi must not wait
    // for a writer. The flag changes nothing for the regular files read here.
    do {
        fd_ = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        erreur_ = errno;
        return;
    }
    bool lu = false;
#ifdef STATX_BTIME
    if (const int r = lireStatx(fd_, "", AT_EMPTY_PATH, etat_); r >= 0)
        lu = r == 1;
    else
#endif
    {
        struct stat st {};
        lu = ::fstat(fd_, &st) == 0;
        if (lu)
            remplirEtat(st, etat_);
    }
    if (!lu || !etat_.reguliere) {
        erreur_ = !lu ? errno : S_ISDIR(etat_.mode) ? EISDIR : ENXIO;
        pasReguliere_ = true;
        ::close(fd_);
        fd_ = -1;
        return;
    }
    // The first read right away: every walker starts at offset 0.
    remplir(tete_, 0, size_t(std::min<int64_t>(etat_.taille, int64_t(kPremiereLecture))));
}

std::string SourceEntete::messageErreur() const
{
    if (fd_ >= 0)
        return {};
    return FileError("cannot open " + chemin_ + (pasReguliere_ ? " (not a regular file)" : ""), erreur_).what();
}

SourceEntete::~SourceEntete()
{
    if (fd_ >= 0)
        ::close(fd_);
}

size_t SourceEntete::lireFichier(int64_t offset, void* buffer, size_t n) const
{
    auto* sortie = static_cast<uint8_t*>(buffer);
    size_t fait = 0;
    while (fait < n) {
        ++lectures_;
        const ssize_t k = ::pread(fd_, sortie + fait, n - fait, off_t(offset + int64_t(fait)));
        if (k < 0) {
            if (errno == EINTR)
                continue;
            throw FileError("cannot read " + chemin_, errno);
        }
        if (k == 0)
            break; // cut since the stat
        fait += size_t(k);
    }
    return fait;
}

void SourceEntete::remplir(Fenetre& f, int64_t debut, size_t n) const
{
    f.debut = debut;
    if (f.capacite < n) {
        f.tampon.reset(new uint8_t[n]);
        f.capacite = n;
    }
    f.taille = n == 0 ? 0 : lireFichier(debut, f.tampon.get(), n);
}

size_t SourceEntete::readAt(int64_t offset, void* buffer, size_t n) const
{
    if (fd_ < 0)
        throw FileError("cannot read " + chemin_, erreur_ != 0 ? erreur_ : EBADF);
    if (offset < 0 || offset >= etat_.taille || n == 0)
        return 0;
    n = size_t(std::min<int64_t>(int64_t(n), etat_.taille - offset));
    for (const Fenetre* f : {&tete_, &bloc_}) {
        if (f->contient(offset, n)) {
            std::memcpy(buffer, f->octets() + (offset - f->debut), n);
            return n;
        }
    }
    // Large reads (an index, many frames' worth) go straight to the caller's buffer.
    if (n >= kBloc)
        return lireFichier(offset, buffer, n);
    remplir(bloc_, offset, size_t(std::min<int64_t>(etat_.taille - offset, int64_t(kBloc))));
    const size_t k = std::min(n, bloc_.taille);
    std::memcpy(buffer, bloc_.octets(), k);
    return k;
}

} // namespace korvan
