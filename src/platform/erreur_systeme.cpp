#include "platform/erreur_systeme.h"

#include <cstring>

namespace korvan {

QString TexteErreurSysteme(int erreur)
{
    char tampon[256];
    // The GNU strerror_r: the text may be a static string rather than the buffer.
    const char* texte = ::strerror_r(erreur, tampon, sizeof tampon);
    return QString::fromLocal8Bit(texte);
}

} // namespace korvan
