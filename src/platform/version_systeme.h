#pragma once
// The name of the running system shown in the system report, and the flag
// telling the file layer that names are full Unicode.
#include <QString>
#include <cstdint>

namespace korvan {

// Set by NomVersionWindows() when the system handles file names as Unicode
// (the NT family; every Linux system).
extern bool systemeNT;

// Platform ids as reported by GetVersionEx.
enum : int {
    plateformeWin32s = 0,
    plateformeWindows9x = 1,
    plateformeWindowsNT = 2,
};

// The Windows name for a GetVersionEx answer: the name from the version table,
// one space, the service-pack text (up to its first zero character, at most 128
// characters), " - build " and the low 16 bits of the build number.
// *nt (when given) is set exactly for the NT platform id.
QString NomVersionWindows(int idPlateforme, uint32_t majeur, uint32_t mineur, uint32_t build,
                          const QString& servicePack, bool* nt = nullptr);

// The Linux counterpart: the product name from an os-release file's text
// (PRETTY_NAME, else NAME and VERSION, else "Linux") followed by
// " - noyau " and the kernel release.
QString nomSystemeLinux(const QString& contenuOsRelease, const QString& versionNoyau);

// The running system's name for the system report; sets systemeNT.
QString NomVersionWindows();

} // namespace korvan
