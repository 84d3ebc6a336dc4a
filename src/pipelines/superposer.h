#pragma once
// The superposer: draws its text, with the datecode delivered for the frame,
// over each decoded picture, antialiased, in the font, colour and place last
// set. The settings may change from another thread between frames.
#include "platform/police_incrust.h"
#include "pipelines/interfaces_incrustation.h"

#include <QImage>
#include <QRect>

#include <mutex>

namespace korvan {

class Superposer final : public ISuperposerParam3 {
public:
    void SetText(const QString& modele) override;
    void SetVisible(bool visible) override;
    void SetAutoFontSize(bool automatique) override;
    void SetFontSize(int points) override;
    void SetFontName(const QString& nom) override;
    void SetFontColor(int couleur) override;
    void SetBold(bool gras) override;
    void SetItalic(bool italique) override;
    void SetUnderline(bool souligne) override;
    void SetStrikeOut(bool barre) override;
    void SetAutoSizeDivisor(int n) override;
    QString GetText() const override;
    void SetOutlineWidth(int pixels) override;
    void SetPosition(int x, int y, int reserve) override;
    void GetPosition(int& x, int& y) const override;
    void SetTextTemplate(const QString& modele) override;

    // Inputs 0 (the picture) and 2 (its datecode) to output 1: draws on the
    // picture in place. Nothing is drawn while hidden, nor when the template
    // asks for a datecode and none came with the frame.
    void traiter(QImage& image, const QString& datecode);
    // Where the text falls on a picture of that size; empty when nothing is drawn.
    QRect zoneTexte(const QSize& taille, const QString& datecode) const;

private:
    struct Reglages {
        QString modele = QStringLiteral("%D");
        bool visible = true;
        bool tailleAuto = true;
        int diviseur = 20;
        PoliceIncrust police;
        int contour = 0;
        int x = 920;
        int y = 120;
    };
    struct Dessin;
    static bool preparer(const Reglages& r, const QSize& taille, const QString& datecode, Dessin& dessin);
    // Changes the settings under the lock: a frame is drawn from a copy taken under it.
    template <class Changer>
    void regler(Changer changer)
    {
        std::lock_guard l(verrou_);
        changer(reglages_);
    }

    mutable std::mutex verrou_;
    Reglages reglages_;
};

// The font settings 4 to 10, in that order, from the overlay font.
void EnvoyerPolice(ISuperposerParam3& superposer, const PoliceIncrust& police);

} // namespace korvan
