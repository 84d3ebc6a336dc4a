#include "commands/renommer_sans_ecraser.h"

#include "analysis/chemins.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvan {

namespace {

// Errors by which a filesystem (or an old kernel) says it cannot do what was
// asked, as opposed to refusing this rename.
bool nonPrisEnCharge(int erreur)
{
    return erreur == EINVAL || erreur == ENOSYS || erreur == ENOTSUP || erreur == EOPNOTSUPP || erreur == EPERM;
}

bool memeFichier(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

int renommerNoReplace(const QString& source, const QString& cible)
{
    const std::string s = CheminLocal(source);
    const std::string c = CheminLocal(cible);
    return ::renameat2(AT_FDCWD, s.c_str(), AT_FDCWD, c.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int renommerParLien(const QString& source, const QString& cible)
{
    const std::string s = CheminLocal(source);
    const std::string c = CheminLocal(cible);
    // link() fails with EEXIST whatever appeared at cible, so nothing is replaced.
    if (::link(s.c_str(), c.c_str()) != 0)
        return errno;
    if (::unlink(s.c_str()) != 0) {
        const int erreur = errno;
        ::unlink(c.c_str()); // our own second name of the same file
        return erreur;
    }
    return 0;
}

int renommerParReservation(const QString& source, const QString& cible)
{
    const std::string s = CheminLocal(source);
    const std::string c = CheminLocal(cible);
    struct stat avant {};
    if (::lstat(s.c_str(), &avant) != 0)
        return errno;
    const int fd = ::open(c.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    struct stat reserve {};
    const bool ok = ::fstat(fd, &reserve) == 0;
    ::close(fd);
    // Only our empty reservation may be replaced: if anything else stands
    // there now (someone removed ours and put a file of theirs), give up.
    struct stat maintenant {};
    if (!ok || ::lstat(c.c_str(), &maintenant) != 0 || !memeFichier(reserve, maintenant) || maintenant.st_size != 0)
        return EEXIST;
    if (::rename(s.c_str(), c.c_str()) != 0) {
        const int erreur = errno;
        struct stat reste {};
        if (::lstat(c.c_str(), &reste) == 0 && memeFichier(reste, reserve))
            ::unlink(c.c_str());
        return erreur;
    }
    return 0;
}

int RenommerSansEcraser(const QString& source, const QString& cible)
{
    if (source.isEmpty() || cible.isEmpty())
        return ENOENT; // what the system says of an empty path
    int erreur = renommerNoReplace(source, cible);
    if (erreur != 0 && nonPrisEnCharge(erreur))
        erreur = renommerParLien(source, cible);
    if (erreur != 0 && nonPrisEnCharge(erreur))
        erreur = renommerParReservation(source, cible);
    return erreur;
}

} // namespace korvan
