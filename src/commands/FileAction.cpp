#include "commands/FileAction.h"

#include "commands/raccourcis.h"

#include <cstring>

namespace korvan {

QString TParam::nom() const
{
    return QString::fromUtf8(reinterpret_cast<const char*>(Nom + 1), Nom[0]);
}

void TParam::definirNom(const QString& nom)
{
    QByteArray octets = nom.toUtf8();
    octets.truncate(qsizetype(LongueurUtf8Coupee(octets.constData(), size_t(octets.size()), sizeof Nom - 1)));
    std::memset(Nom, 0, sizeof Nom);
    Nom[0] = uint8_t(octets.size());
    std::memcpy(Nom + 1, octets.constData(), size_t(octets.size()));
}

QString tFileAction::Shortcut() const
{
    return ShortCutToText(raccourci_);
}

void tFileAction::setShortcut(const QString& texte)
{
    raccourci_ = TextToShortCut(texte);
}

} // namespace korvan
