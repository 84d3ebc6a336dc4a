#pragma once
// The font of the datecode drawn over the picture, as the overlay filter and
// the settings know it: colour in the 0x00BBGGRR layout, size in points.
#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>

namespace korvan {

struct PoliceIncrust {
    int taille = 21;
    uint32_t couleur = 0xFFFFFF; // 0x00BBGGRR
    QString nom = QStringLiteral("Arial");
    bool gras = true;
    bool italique = false;
    bool souligne = false;
    bool barre = false;

    QColor couleurQColor() const;
    void prendreCouleur(const QColor& c);
    QFont versQFont() const;
    // Name, size, style and effects of f; the colour is kept.
    void prendreQFont(const QFont& f);

    bool operator==(const PoliceIncrust&) const = default;
};

} // namespace korvan
