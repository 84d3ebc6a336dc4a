#include "analysis/entree_json.h"

#include "analysis/format_date.h"

namespace korvan {

namespace {

// Date-time values as ISO text (local time), null for 0 (none).
QJsonValue dateIso(TDateTime valeur, bool millisecondes)
{
    if (valeur == 0)
        return QJsonValue::Null;
    static const ReglagesFormat francais = ReglagesFormat::francais();
    return FormatDateTime(millisecondes ? QStringLiteral("yyyy-mm-dd'T'hh:nn:ss.zzz") : QStringLiteral("yyyy-mm-dd'T'hh:nn:ss"),
                          valeur, francais);
}

} // namespace

QJsonObject EntreeVersJson(const TAfficherFichier& e)
{
    QJsonObject o;
    o["nom"] = e.nom;
    o["chemin"] = e.chemin;
    o["existe"] = e.existe;
    o["valide"] = e.valide;
    o["nombreFlux"] = e.nombreFlux;
    o["codec"] = e.texteCodec();
    o["estDV"] = e.estDV;
    o["typeDV"] = e.typeDV;
    o["standard"] = e.standard;
    o["texteTaille"] = e.texteTaille;
    o["largeur"] = e.largeur;
    o["hauteur"] = e.hauteur;
    o["fps"] = e.fps;
    o["texteDuree"] = e.texteDuree;
    o["texteAudio"] = e.texteAudio;
    o["texteDureeAudio"] = e.texteDureeAudio;
    o["texteFormatAudio"] = e.texteFormatAudio;
    o["texteCanaux"] = e.texteCanaux;
    o["frequenceAudio"] = e.frequenceAudio;
    o["bitsAudio"] = e.bitsAudio;
    o["texteDatecode"] = e.texteDatecode;
    o["datecode"] = dateIso(e.datecode, false);
    o["texteTimecode"] = e.texteTimecode;
    o["format16x9"] = e.format16x9;
    o["vauxSource"] = double(e.vauxSource);
    o["debitVideo"] = double(e.debitVideo);
    o["aScenes"] = e.aScenes;
    o["cleDatecode"] = e.cleDatecode;
    o["cleDatecodeNom"] = e.cleDatecodeNom;
    o["cleAlpha"] = e.cleAlpha;
    o["cleTaille"] = e.cleTaille;
    o["cleDateFichier"] = e.cleDateFichier;
    o["tailleHaute"] = double(e.tailleHaute);
    o["tailleBasse"] = double(e.tailleBasse);
    o["taille"] = double(e.taille());
    o["dateCreation"] = dateIso(e.dateCreation, true);
    o["dateModification"] = dateIso(e.dateModification, true);
    o["dateAcces"] = dateIso(e.dateAcces, true);
    o["attributs"] = double(e.attributs);
    o["dureeVideo"] = double(e.dureeVideo);
    o["dureeAudio"] = double(e.dureeAudio);
    return o;
}

} // namespace korvan
