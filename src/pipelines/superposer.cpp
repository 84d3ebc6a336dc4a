#include "pipelines/superposer.h"

#include "analysis/texte_court.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

// The template with "%D" replaced by the datecode and "%%" by "%".
QString composer(const QString& modele, const QString& datecode, bool& demandeDatecode)
{
    QString texte;
    for (qsizetype i = 0; i < modele.size(); ++i) {
        if (modele[i] == QLatin1Char('%') && i + 1 < modele.size()) {
            if (modele[i + 1] == QLatin1Char('D')) {
                texte += datecode;
                demandeDatecode = true;
                ++i;
                continue;
            }
            if (modele[i + 1] == QLatin1Char('%')) {
                texte += QLatin1Char('%');
                ++i;
                continue;
            }
        }
        texte += modele[i];
    }
    return texte;
}

} // namespace

struct Superposer::Dessin {
    QString texte;
    QFont police;
    QColor couleur;
    int contour = 0;
    QRect zone;
    QPoint ligneDeBase;
};

void Superposer::SetText(const QString& modele)
{
    std::lock_guard l(verrou_);
    reglages_.modele = ChaineCourte(modele);
}

void Superposer::SetVisible(bool visible)
{
    regler([&](Reglages& r) { r.visible = visible; });
}

void Superposer::SetAutoFontSize(bool automatique)
{
    regler([&](Reglages& r) { r.tailleAuto = automatique; });
}

void Superposer::SetFontSize(int points)
{
    if (points > 0)
        regler([&](Reglages& r) { r.police.taille = points; });
}

void Superposer::SetFontName(const QString& nom)
{
    std::lock_guard l(verrou_);
    reglages_.police.nom = ChaineCourte(nom);
}

void Superposer::SetFontColor(int couleur)
{
    regler([&](Reglages& r) { r.police.couleur = uint32_t(couleur) & 0x00FFFFFFu; });
}

void Superposer::SetBold(bool gras)
{
    regler([&](Reglages& r) { r.police.gras = gras; });
}

void Superposer::SetItalic(bool italique)
{
    regler([&](Reglages& r) { r.police.italique = italique; });
}

void Superposer::SetUnderline(bool souligne)
{
    regler([&](Reglages& r) { r.police.souligne = souligne; });
}

void Superposer::SetStrikeOut(bool barre)
{
    regler([&](Reglages& r) { r.police.barre = barre; });
}

void Superposer::SetAutoSizeDivisor(int n)
{
    if (n > 0)
        regler([&](Reglages& r) { r.diviseur = n; });
}

QString Superposer::GetText() const
{
    std::lock_guard l(verrou_);
    return reglages_.modele;
}

void Superposer::SetOutlineWidth(int pixels)
{
    regler([&](Reglages& r) { r.contour = std::max(pixels, 0); });
}

void Superposer::SetPosition(int x, int y, int)
{
    regler([&](Reglages& r) {
        r.x = std::clamp(x, 0, 1000);
        r.y = std::clamp(y, 0, 1000);
    });
}

void Superposer::GetPosition(int& x, int& y) const
{
    std::lock_guard l(verrou_);
    x = reglages_.x;
    y = reglages_.y;
}

void Superposer::SetTextTemplate(const QString& modele)
{
    SetText(modele);
}

bool Superposer::preparer(const Reglages& r, const QSize& taille, const QString& datecode, Dessin& d)
{
    if (!r.visible || taille.isEmpty())
        return false;
    bool demandeDatecode = false;
    d.texte = composer(r.modele, datecode, demandeDatecode);
    if (d.texte.isEmpty() || (demandeDatecode && datecode.isEmpty()))
        return false;

    d.police = r.police.versQFont();
    d.police.setStyleStrategy(QFont::PreferAntialias);
    // Points are taken at 96 dots per inch of picture, whatever screen shows it.
    const int pixels = r.tailleAuto ? taille.height() / r.diviseur : int(std::lround(r.police.taille * 96.0 / 72.0));
    d.police.setPixelSize(std::max(pixels, 1));
    d.couleur = r.police.couleurQColor();
    d.contour = r.contour;

    // The box holds the ink (italics lean out of the advance), the outline and
    // one pixel of antialiasing on every side.
    const QFontMetrics fm(d.police);
    const QRect encre = fm.boundingRect(d.texte);
    const int gaucheEncre = std::min(0, encre.left());
    const int droiteEncre = std::max(fm.horizontalAdvance(d.texte), encre.right() + 1);
    const int hautEncre = std::min(-fm.ascent(), encre.top());
    const int basEncre = std::max(fm.descent(), encre.bottom() + 1);
    const int marge = d.contour + 1;
    const int largeur = droiteEncre - gaucheEncre + 2 * marge;
    const int hauteur = basEncre - hautEncre + 2 * marge;

    // The position gives the box's top-right corner; the box then moves as
    // little as needed to stay inside the picture.
    const int droite = int(int64_t(taille.width()) * r.x / 1000);
    const int haut = int(int64_t(taille.height()) * r.y / 1000);
    const int gauche = std::clamp(droite - largeur, 0, std::max(0, taille.width() - largeur));
    const int hautBoite = std::clamp(haut, 0, std::max(0, taille.height() - hauteur));
    d.zone = QRect(gauche, hautBoite, largeur, hauteur);
    d.ligneDeBase = QPoint(gauche + marge - gaucheEncre, hautBoite + marge - hautEncre);
    return true;
}

QRect Superposer::zoneTexte(const QSize& taille, const QString& datecode) const
{
    Reglages r;
    {
        std::lock_guard l(verrou_);
        r = reglages_;
    }
    Dessin d;
    return preparer(r, taille, datecode, d) ? d.zone.intersected(QRect(QPoint(0, 0), taille)) : QRect();
}

void Superposer::traiter(QImage& image, const QString& datecode)
{
    Reglages r;
    {
        std::lock_guard l(verrou_);
        r = reglages_;
    }
    Dessin d;
    if (image.isNull() || !preparer(r, image.size(), datecode, d))
        return;
    // QPainter cannot draw on palette or one-bit pictures.
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
        || image.format() == QImage::Format_MonoLSB)
        image.convertTo(QImage::Format_RGB32);

    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.setClipRect(d.zone);
    if (d.contour > 0) {
        QPainterPath trace;
        trace.addText(d.ligneDeBase, d.police, d.texte);
        p.strokePath(trace, QPen(Qt::black, 2.0 * d.contour, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    p.setFont(d.police);
    p.setPen(d.couleur);
    p.drawText(d.ligneDeBase, d.texte);
}

void EnvoyerPolice(ISuperposerParam3& superposer, const PoliceIncrust& police)
{
    superposer.SetFontSize(police.taille);
    superposer.SetFontName(police.nom);
    superposer.SetFontColor(int(police.couleur));
    superposer.SetBold(police.gras);
    superposer.SetItalic(police.italique);
    superposer.SetUnderline(police.souligne);
    superposer.SetStrikeOut(police.barre);
}

} // namespace korvan
