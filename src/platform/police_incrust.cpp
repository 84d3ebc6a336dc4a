#include "platform/police_incrust.h"

namespace korvan {

QColor PoliceIncrust::couleurQColor() const
{
    return QColor(int(couleur & 0xFF), int((couleur >> 8) & 0xFF), int((couleur >> 16) & 0xFF));
}

void PoliceIncrust::prendreCouleur(const QColor& c)
{
    const QColor rgb = c.toRgb();
    couleur = uint32_t(rgb.red()) | uint32_t(rgb.green()) << 8 | uint32_t(rgb.blue()) << 16;
}

QFont PoliceIncrust::versQFont() const
{
    QFont f(nom);
    if (taille > 0)
        f.setPointSize(taille);
    f.setBold(gras);
    f.setItalic(italique);
    f.setUnderline(souligne);
    f.setStrikeOut(barre);
    return f;
}

void PoliceIncrust::prendreQFont(const QFont& f)
{
    nom = f.family();
    if (f.pointSize() > 0)
        taille = f.pointSize();
    gras = f.bold();
    italique = f.italic();
    souligne = f.underline();
    barre = f.strikeOut();
}

} // namespace korvan
