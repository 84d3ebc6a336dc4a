#include "platform/preferences.h"

#include "platform/identite_programme.h"
#include "platform/dossiers_utilisateur.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QVariant>

#include <limits>
#include <optional>

namespace korvan {

int prefTop = 0;
int prefLeft = 0;
uint8_t prefOrdreListe = 0;
bool prefSauverPrefsEnQuittant = true;
bool prefSelectionOuverture = false;
bool prefSauverListeEnQuittant = false;
bool prefMemeDossier = true;
QString prefDossierOuvrir;
QString prefDossierAuto;
QString prefDossierSave;
QString prefDossierPlayList;
QString prefFichierStillex;
uint8_t prefStandard = standardPal;
QString prefFormatAjouter = QString::fromLatin1(prefDefaut::formatAjouter);
QString prefFormatAfficher = QString::fromLatin1(prefDefaut::formatAfficher);
QString prefFormatRenommer = QString::fromLatin1(prefDefaut::formatRenommer);
QString prefRacineRenommer = QString::fromLatin1(prefDefaut::racineRenommer);
bool prefAutoFontSize = true;
bool prefAutoIncrust = false;
int prefDureeIncrust = prefDefaut::dureeIncrust;
int prefDecalageHoraire = 0;
bool prefSendTo = false;
int prefIncrustX = prefDefaut::incrustX;
int prefIncrustY = prefDefaut::incrustY;
bool prefMute = false;
bool prefIncrustOn = false;
bool prefSlidersVisible = false;
PoliceIncrust prefIncrustFont;
QList<EtatAction> etatActions;

namespace {

const QString programme = QStringLiteral("Korvan");
const QString fabricant = QStringLiteral("Brannoc");
const QString groupeActions = QStringLiteral("Actions");
const QString groupePolice = QStringLiteral("IncrustFont");

// Value names, exactly as stored (the duration's "éee" included).
namespace nom {
const QString version = QStringLiteral("version");
const QString derniereSauvegarde = QStringLiteral("Dernière Sauvegarde");
const QString exename = QStringLiteral("Exename");
const QString top = QStringLiteral("Top");
const QString left = QStringLiteral("Left");
const QString ordreListe = QStringLiteral("Ordre de la Liste");
const QString sauverPrefs = QStringLiteral("Sauver préférences en quittant");
const QString selection = QStringLiteral("Sélectionner à l'ouverture");
const QString sauverListe = QStringLiteral("Sauver Liste en quittant");
const QString memeDossier = QStringLiteral("Sauver dans le même dossier");
const QString dossierOuvrir = QStringLiteral("Dossier pour Ouvrir Fichiers");
const QString dossierAuto = QStringLiteral("Dossier à ouverture auto");
const QString dossierSave = QStringLiteral("Dossier pour Sauver");
const QString dossierPlayList = QStringLiteral("Dossier des PlayList");
const QString fichierStillex = QStringLiteral("Fichier Stillex");
const QString standard = QStringLiteral("Standard par défaut");
const QString formatAjouter = QStringLiteral("Format pour Ajouter Datecode");
const QString formatAfficher = QStringLiteral("Format pour Afficher Datecode");
const QString formatRenommer = QStringLiteral("Format pour Renommer");
const QString racineRenommer = QStringLiteral("Racine pour Renommer");
const QString autoFontSize = QStringLiteral("AutoFontSize");
const QString autoIncrust = QStringLiteral("Automatic Inlay");
const QString dureeIncrust = QStringLiteral("Duréee Incrustation");
const QString decalageHoraire = QStringLiteral("Décalage Horaire");
const QString sendTo = QStringLiteral("Sendto");
const QString incrustX = QStringLiteral("Incrust positionX");
const QString incrustY = QStringLiteral("Incrust positionY");
const QString mute = QStringLiteral("is Mute on");
const QString incrustOn = QStringLiteral("is Incrust On");
const QString slidersVisible = QStringLiteral("Incrust Sliders Visible");
const QString taille = QStringLiteral("Size");
const QString couleur = QStringLiteral("Color");
const QString police = QStringLiteral("Name");
const QString gras = QStringLiteral("Bold");
const QString italique = QStringLiteral("Italic");
const QString souligne = QStringLiteral("Underline");
const QString barre = QStringLiteral("StrikeOut");
const QString exenameStillex = QStringLiteral("exename");
} // namespace nom

// A stored 32-bit signed integer. Settings files hold text, so anything but
// a decimal number in that range (a word, a list, a fraction) is unreadable.
std::optional<int> lireEntier(const QSettings& s, const QString& cle)
{
    const QVariant v = s.value(cle);
    bool ok = false;
    qlonglong n = 0;
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
        n = v.toString().trimmed().toLongLong(&ok, 10);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        n = v.toLongLong(&ok);
        break;
    default:
        break;
    }
    if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(n);
}

int lireEntier(const QSettings& s, const QString& cle, int defaut, int min = std::numeric_limits<int>::min(),
               int max = std::numeric_limits<int>::max())
{
    const std::optional<int> n = lireEntier(s, cle);
    return n && *n >= min && *n <= max ? *n : defaut;
}

// Booleans are stored as integers; any value other than 0 reads as true.
bool lireBooleen(const QSettings& s, const QString& cle, bool defaut)
{
    const std::optional<int> n = lireEntier(s, cle);
    return n ? *n != 0 : defaut;
}

// A missing or unreadable string reads as empty; the empty-string rules then
// give the setting its default.
QString lireTexte(const QSettings& s, const QString& cle)
{
    const QVariant v = s.value(cle);
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return v.toString();
    default:
        return {};
    }
}

void ecrireBooleen(QSettings& s, const QString& cle, bool valeur)
{
    s.setValue(cle, valeur ? 1 : 0);
}

void valeursParDefaut(const GeometrieFenetre& g)
{
    prefTop = positionCentree(g.ecran.height(), g.fenetre.height());
    prefLeft = positionCentree(g.ecran.width(), g.fenetre.width());
    prefOrdreListe = 0;
    prefSauverPrefsEnQuittant = true;
    prefSelectionOuverture = false;
    prefSauverListeEnQuittant = false;
    prefMemeDossier = true;
    prefDossierOuvrir.clear();
    prefDossierAuto.clear();
    prefDossierSave.clear();
    prefDossierPlayList.clear();
    prefFichierStillex.clear();
    prefStandard = standardPal;
    prefFormatAjouter.clear();
    prefFormatAfficher.clear();
    prefFormatRenommer.clear();
    prefRacineRenommer.clear();
    prefAutoFontSize = true;
    prefAutoIncrust = false;
    prefDureeIncrust = prefDefaut::dureeIncrust;
    prefDecalageHoraire = 0;
    prefSendTo = true;
    prefIncrustX = prefDefaut::incrustX;
    prefIncrustY = prefDefaut::incrustY;
    prefMute = false;
    prefIncrustOn = false;
    prefSlidersVisible = false;
}

// Numbers outside the range the rest of the program works in (a hand-edited
// or damaged file) take their defaults like unreadable ones, so that no sort
// order without a key, no TV standard other than PAL or NTSC and no overlay
// position off the picture ever reaches it.
void lireValeursPrincipales(const QSettings& s, const GeometrieFenetre& g)
{
    prefTop = lireEntier(s, nom::top, positionCentree(g.ecran.height(), g.fenetre.height()));
    prefLeft = lireEntier(s, nom::left, positionCentree(g.ecran.width(), g.fenetre.width()));
    prefOrdreListe = uint8_t(lireEntier(s, nom::ordreListe, 0, 0, 3));
    prefSauverPrefsEnQuittant = lireBooleen(s, nom::sauverPrefs, true);
    prefSelectionOuverture = lireBooleen(s, nom::selection, false);
    prefSauverListeEnQuittant = lireBooleen(s, nom::sauverListe, false);
    prefMemeDossier = lireBooleen(s, nom::memeDossier, true);
    prefDossierOuvrir = lireTexte(s, nom::dossierOuvrir);
    prefDossierAuto = lireTexte(s, nom::dossierAuto);
    prefDossierSave = lireTexte(s, nom::dossierSave);
    prefDossierPlayList = lireTexte(s, nom::dossierPlayList);
    prefFichierStillex = lireTexte(s, nom::fichierStillex);
    prefStandard = uint8_t(lireEntier(s, nom::standard, standardPal, standardPal, standardNtsc));
    prefFormatAjouter = lireTexte(s, nom::formatAjouter);
    prefFormatAfficher = lireTexte(s, nom::formatAfficher);
    prefFormatRenommer = lireTexte(s, nom::formatRenommer);
    prefRacineRenommer = lireTexte(s, nom::racineRenommer);
    prefAutoFontSize = lireBooleen(s, nom::autoFontSize, true);
    prefAutoIncrust = lireBooleen(s, nom::autoIncrust, false);
    prefDureeIncrust = lireEntier(s, nom::dureeIncrust, prefDefaut::dureeIncrust, 0);
    prefDecalageHoraire = lireEntier(s, nom::decalageHoraire, 0, -23, 23);
    prefSendTo = lireBooleen(s, nom::sendTo, false);
    prefIncrustX = lireEntier(s, nom::incrustX, prefDefaut::incrustX, 0, 1000);
    prefIncrustY = lireEntier(s, nom::incrustY, prefDefaut::incrustY, 0, 1000);
    prefMute = lireBooleen(s, nom::mute, false);
    prefIncrustOn = lireBooleen(s, nom::incrustOn, false);
    prefSlidersVisible = lireBooleen(s, nom::slidersVisible, false);
}

PoliceIncrust lirePolice(QSettings& s)
{
    const PoliceIncrust defaut;
    PoliceIncrust p;
    s.beginGroup(groupePolice);
    p.taille = lireEntier(s, nom::taille, defaut.taille, 1);
    p.couleur = uint32_t(lireEntier(s, nom::couleur, int(defaut.couleur), 0, 0xFFFFFF));
    p.nom = lireTexte(s, nom::police);
    p.gras = lireBooleen(s, nom::gras, defaut.gras);
    p.italique = lireBooleen(s, nom::italique, defaut.italique);
    p.souligne = lireBooleen(s, nom::souligne, defaut.souligne);
    p.barre = lireBooleen(s, nom::barre, defaut.barre);
    s.endGroup();
    return p;
}

// Action names are value names of their own group: a separator would make a
// sub-group of it, and the name would not come back.
bool nomActionStockable(const QString& n)
{
    return !n.isEmpty() && !n.contains(u'/') && !n.contains(u'\\');
}

void remplacerSiVide(QString& valeur, const QString& defaut)
{
    if (valeur.isEmpty())
        valeur = defaut;
}

} // namespace

int positionCentree(int ecran, int fenetre)
{
    return (ecran - fenetre) / 2;
}

EnTeteSauvegarde EnTeteSauvegarde::courante()
{
    return {korvan::versionProgramme, QCoreApplication::applicationFilePath(), QDateTime::currentDateTime()};
}

void ChargerPreferences(const MagasinPreferences& magasin, const GeometrieFenetre& geometrie)
{
    std::unique_ptr<QSettings> s;
    if (magasin.existe(programme)) {
        s = magasin.ouvrir(programme);
        // A file that cannot be read is treated as no settings at all.
        if (s->status() == QSettings::AccessError)
            s.reset();
    }
    if (s)
        lireValeursPrincipales(*s, geometrie);
    else
        valeursParDefaut(geometrie);

    etatActions.clear();
    if (s && s->childGroups().contains(groupeActions)) {
        s->beginGroup(groupeActions);
        for (const QString& action : s->childKeys()) {
            // Only the program writes this group, and only integers; anything
            // else is left out, so the action keeps its default state.
            if (const std::optional<int> valeur = lireEntier(*s, action))
                etatActions.append({action, *valeur});
        }
        s->endGroup();
    }

    if (s && s->childGroups().contains(groupePolice))
        prefIncrustFont = lirePolice(*s);
    else
        prefIncrustFont = PoliceIncrust{};

    const QString personnel = DossierPersonnel();
    remplacerSiVide(prefDossierOuvrir, personnel);
    remplacerSiVide(prefDossierAuto, personnel);
    remplacerSiVide(prefDossierSave, personnel);
    remplacerSiVide(prefDossierPlayList, personnel);
    // Folders are joined with file names ("PlayList.txt", converted files): they always end with a separator.
    for (QString* dossier : {&prefDossierOuvrir, &prefDossierAuto, &prefDossierSave, &prefDossierPlayList})
        *dossier = avecSeparateurFinal(*dossier);
    remplacerSiVide(prefFormatAjouter, QString::fromLatin1(prefDefaut::formatAjouter));
    remplacerSiVide(prefFormatAfficher, QString::fromLatin1(prefDefaut::formatAfficher));
    remplacerSiVide(prefFormatRenommer, QString::fromLatin1(prefDefaut::formatRenommer));
    remplacerSiVide(prefRacineRenommer, QString::fromLatin1(prefDefaut::racineRenommer));
    remplacerSiVide(prefIncrustFont.nom, PoliceIncrust{}.nom);

    if (prefFichierStillex.isEmpty() && magasin.existe(QStringLiteral("Stillex"))) {
        const std::unique_ptr<QSettings> stillex = magasin.ouvrir(QStringLiteral("Stillex"));
        prefFichierStillex = lireTexte(*stillex, nom::exenameStillex);
    }
}

void ChargerPreferences(const GeometrieFenetre& geometrie)
{
    ChargerPreferences(MagasinPreferences::utilisateur(), geometrie);
}

void SauverPreferences(const MagasinPreferences& magasin, const EnTeteSauvegarde& entete)
{
    QDir().mkpath(magasin.dossierFabricant());
    const std::unique_ptr<QSettings> s = magasin.ouvrir(programme);

    s->setValue(nom::version, programme + u' ' + entete.versionProgramme + QStringLiteral(" Fr de ") + fabricant);
    s->setValue(nom::derniereSauvegarde, entete.moment.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
    s->setValue(nom::exename, entete.exename);
    s->setValue(nom::top, prefTop);
    s->setValue(nom::left, prefLeft);
    s->setValue(nom::ordreListe, int(prefOrdreListe));
    ecrireBooleen(*s, nom::sauverPrefs, prefSauverPrefsEnQuittant);
    ecrireBooleen(*s, nom::selection, prefSelectionOuverture);
    ecrireBooleen(*s, nom::sauverListe, prefSauverListeEnQuittant);
    ecrireBooleen(*s, nom::memeDossier, prefMemeDossier);
    s->setValue(nom::dossierOuvrir, prefDossierOuvrir);
    s->setValue(nom::dossierAuto, prefDossierAuto);
    s->setValue(nom::dossierSave, prefDossierSave);
    s->setValue(nom::dossierPlayList, prefDossierPlayList);
    s->setValue(nom::fichierStillex, prefFichierStillex);
    s->setValue(nom::standard, int(prefStandard));
    s->setValue(nom::formatAjouter, prefFormatAjouter);
    s->setValue(nom::formatAfficher, prefFormatAfficher);
    s->setValue(nom::formatRenommer, prefFormatRenommer);
    s->setValue(nom::racineRenommer, prefRacineRenommer);
    ecrireBooleen(*s, nom::autoFontSize, prefAutoFontSize);
    ecrireBooleen(*s, nom::autoIncrust, prefAutoIncrust);
    ecrireBooleen(*s, nom::sendTo, prefSendTo);
    s->setValue(nom::dureeIncrust, prefDureeIncrust);
    s->setValue(nom::decalageHoraire, prefDecalageHoraire);
    s->setValue(nom::incrustX, prefIncrustX);
    s->setValue(nom::incrustY, prefIncrustY);
    ecrireBooleen(*s, nom::mute, prefMute);
    ecrireBooleen(*s, nom::incrustOn, prefIncrustOn);
    ecrireBooleen(*s, nom::slidersVisible, prefSlidersVisible);

    s->remove(groupeActions);
    s->beginGroup(groupeActions);
    for (const EtatAction& action : std::as_const(etatActions))
        if (nomActionStockable(action.nom))
            s->setValue(action.nom, action.valeur);
    s->endGroup();

    s->beginGroup(groupePolice);
    s->setValue(nom::taille, prefIncrustFont.taille);
    s->setValue(nom::couleur, int(prefIncrustFont.couleur));
    s->setValue(nom::police, prefIncrustFont.nom);
    ecrireBooleen(*s, nom::gras, prefIncrustFont.gras);
    ecrireBooleen(*s, nom::italique, prefIncrustFont.italique);
    ecrireBooleen(*s, nom::souligne, prefIncrustFont.souligne);
    ecrireBooleen(*s, nom::barre, prefIncrustFont.barre);
    s->endGroup();

    s->sync();
}

void SauverPreferences()
{
    SauverPreferences(MagasinPreferences::utilisateur(), EnTeteSauvegarde::courante());
}

bool EffacerPreferences(BoiteMessage& boite, const MagasinPreferences& magasin)
{
    const QString question = QStringLiteral("Voulez-vous vraiment effacer les Préférences de %1").arg(programme)
                             + u'\n' + QStringLiteral("de votre registre?");
    if (boite.montrer(GenreMessage::Avertissement, question, BoutonsMessage::OuiNon) != ReponseMessage::Oui)
        return false;

    QDir dossier(magasin.dossierFabricant());
    if (!dossier.exists()) {
        boite.montrer(GenreMessage::Avertissement,
                      QStringLiteral("Les préférences de %1 ne figuraient pas au registre.").arg(programme),
                      BoutonsMessage::OK);
        return false;
    }

    const QString fichier = magasin.fichier(programme);
    QFile::remove(fichier);
    if (QFileInfo::exists(fichier)) {
        // Telling the user the settings are gone while they are not would
        // bring them back at the next start.
        boite.montrer(GenreMessage::Erreur,
                      QStringLiteral("Les préférences de %1 n'ont pas pu être effacées.").arg(programme),
                      BoutonsMessage::OK);
        return false;
    }
    if (dossier.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        QDir().rmdir(dossier.absolutePath());
    boite.montrer(GenreMessage::Information,
                  QStringLiteral("%1 a été complètement effacé de votre registre.").arg(programme),
                  BoutonsMessage::OK);
    return true;
}

bool EffacerPreferences(BoiteMessage& boite)
{
    return EffacerPreferences(boite, MagasinPreferences::utilisateur());
}

QString avecSeparateurFinal(const QString& dossier)
{
    return dossier.isEmpty() || dossier.endsWith(u'/') ? dossier : dossier + u'/';
}

} // namespace korvan
