#include "commands/FileAction.h"

#include "commands/raccourcis.h"

#include <cstring>

namespace korvan {

QString ChaineCourte(const QString& texte)
{
    if (texte.size() <= kLongueurChaineCourte)
        return texte;
    qsizetype n = kLongueurChaineCourte;
    if (texte.at(n - 1).isHighSurrogate())
        --n;
    return texte.left(n);
}

QString TParam::nom() const
{
    return QString::fromUtf8(reinterpret_cast<const char*>(Nom + 1), Nom[0]);
}

void TParam::definirNom(const QString& nom)
{
    QByteArray octets = nom.toUtf8();
    if (octets.size() > 255) {
        qsizetype n = 255;
        // Back up to the first byte of the character that would be split.
        while (n > 0 && (uint8_t(octets[n]) & 0xC0) == 0x80)
            --n;
        octets.truncate(n);
    }
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
