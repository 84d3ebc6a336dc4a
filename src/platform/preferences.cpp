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
#include <variant>
#include <vector>

namespace korvan {

// Their values come from the table below, before anything reads them.
int prefTop;
int prefLeft;
uint8_t prefOrdreListe;
bool prefSauverPrefsEnQuittant;
bool prefSelectionOuverture;
bool prefSauverListeEnQuittant;
bool prefMemeDossier;
QString prefDossierOuvrir;
QString prefDossierAuto;
QString prefDossierSave;
QString prefDossierPlayList;
QString prefFichierStillex;
uint8_t prefStandard;
QString prefFormatAjouter;
QString prefFormatAfficher;
QString prefFormatRenommer;
QString prefRacineRenommer;
bool prefAutoFontSize;
bool prefAutoIncrust;
int prefDureeIncrust;
int prefDecalageHoraire;
bool prefSendTo;
int prefIncrustX;
int prefIncrustY;
bool prefMute;
bool prefIncrustOn;
bool prefSlidersVisible;
PoliceIncrust prefIncrustFont;
QList<EtatAction> etatActions;

namespace {

const QString programme = QStringLiteral("Korvan");
const QString fabricant = QStringLiteral("Brannoc");
const QString groupeActions = QStringLiteral("Actions");
const QString groupePolice = QStringLiteral("IncrustFont");

// What an empty string setting becomes once loaded.
enum class SiVide {
    Garder,
    Defaut,   // the value's default text
    Dossier,  // the user's documents folder; a folder always ends with a separator
    Stillex,  // the path the Stillex program keeps in its own settings
};

// Booleans and numbers are stored as integers; a number held in a byte or
// unsigned is read within its range only.
using Cible = std::variant<bool*, int*, uint8_t*, uint32_t*, QString*>;

// One stored value and the setting it fills.
struct Valeur {
    QString groupe; // empty: the main values
    QString nom;    // exactly as stored (the duration's "éee" included)
    Cible cible;
    int defaut = 0; // numbers and booleans
    int min = std::numeric_limits<int>::min();
    int max = std::numeric_limits<int>::max();
    SiVide siVide = SiVide::Garder;
    QString texteDefaut;
    // The default when nothing at all is stored (first run, erased settings).
    std::optional<int> defautPremierLancement;

    QString cle() const { return groupe.isEmpty() ? nom : groupe + u'/' + nom; }
};

Valeur valeur(const char16_t* nom, Cible cible)
{
    Valeur v;
    v.nom = QString::fromUtf16(nom);
    v.cible = cible;
    return v;
}

Valeur nombre(const char16_t* nom, Cible cible, int defaut, int min = std::numeric_limits<int>::min(),
              int max = std::numeric_limits<int>::max())
{
    Valeur v = valeur(nom, cible);
    v.defaut = defaut;
    v.min = min;
    v.max = max;
    return v;
}

Valeur booleen(const char16_t* nom, bool* cible, bool defaut)
{
    Valeur v = valeur(nom, cible);
    v.defaut = defaut ? 1 : 0;
    return v;
}

Valeur texte(const char16_t* nom, QString* cible, SiVide siVide, const QString& defaut = {})
{
    Valeur v = valeur(nom, cible);
    v.siVide = siVide;
    v.texteDefaut = defaut;
    return v;
}

Valeur dansGroupe(const QString& groupe, Valeur v)
{
    v.groupe = groupe;
    return v;
}

// Every stored setting, in the order the program reads them. Numbers outside
// the range the rest of the program works in (a hand-edited or damaged file)
// take their defaults like unreadable ones, so that no sort order without a
// key, no TV standard other than PAL or NTSC and no overlay position off the
// picture ever reaches it. (The file holds its names sorted, whatever the
// order they are written in.)
std::vector<Valeur> valeurs(const GeometrieFenetre& g)
{
    Valeur sendTo = booleen(u"Sendto", &prefSendTo, false);
    // A first run creates the Send To entry.
    sendTo.defautPremierLancement = 1;
    const PoliceIncrust police;
    std::vector<Valeur> v = {
        nombre(u"Top", &prefTop, positionCentree(g.ecran.height(), g.fenetre.height())),
        nombre(u"Left", &prefLeft, positionCentree(g.ecran.width(), g.fenetre.width())),
        nombre(u"Ordre de la Liste", &prefOrdreListe, 0, 0, 3),
        booleen(u"Sauver préférences en quittant", &prefSauverPrefsEnQuittant, true),
        booleen(u"Sélectionner à l'ouverture", &prefSelectionOuverture, false),
        booleen(u"Sauver Liste en quittant", &prefSauverListeEnQuittant, false),
        booleen(u"Sauver dans le même dossier", &prefMemeDossier, true),
        texte(u"Dossier pour Ouvrir Fichiers", &prefDossierOuvrir, SiVide::Dossier),
        texte(u"Dossier à ouverture auto", &prefDossierAuto, SiVide::Dossier),
        texte(u"Dossier pour Sauver", &prefDossierSave, SiVide::Dossier),
        texte(u"Dossier des PlayList", &prefDossierPlayList, SiVide::Dossier),
        texte(u"Fichier Stillex", &prefFichierStillex, SiVide::Stillex),
        nombre(u"Standard par défaut", &prefStandard, standardPal, standardPal, standardNtsc),
        texte(u"Format pour Ajouter Datecode", &prefFormatAjouter, SiVide::Defaut,
              QString::fromLatin1(prefDefaut::formatAjouter)),
        texte(u"Format pour Afficher Datecode", &prefFormatAfficher, SiVide::Defaut,
              QString::fromLatin1(prefDefaut::formatAfficher)),
        texte(u"Format pour Renommer", &prefFormatRenommer, SiVide::Defaut,
              QString::fromLatin1(prefDefaut::formatRenommer)),
        texte(u"Racine pour Renommer", &prefRacineRenommer, SiVide::Defaut,
              QString::fromLatin1(prefDefaut::racineRenommer)),
        booleen(u"AutoFontSize", &prefAutoFontSize, true),
        booleen(u"Automatic Inlay", &prefAutoIncrust, false),
        nombre(u"Duréee Incrustation", &prefDureeIncrust, prefDefaut::dureeIncrust, 0),
        nombre(u"Décalage Horaire", &prefDecalageHoraire, 0, -23, 23),
        sendTo,
        nombre(u"Incrust positionX", &prefIncrustX, prefDefaut::incrustX, 0, 1000),
        nombre(u"Incrust positionY", &prefIncrustY, prefDefaut::incrustY, 0, 1000),
        booleen(u"is Mute on", &prefMute, false),
        booleen(u"is Incrust On", &prefIncrustOn, false),
        booleen(u"Incrust Sliders Visible", &prefSlidersVisible, false),
        dansGroupe(groupePolice, nombre(u"Size", &prefIncrustFont.taille, police.taille, 1)),
        dansGroupe(groupePolice, nombre(u"Color", &prefIncrustFont.couleur, int(police.couleur), 0, 0xFFFFFF)),
        dansGroupe(groupePolice, texte(u"Name", &prefIncrustFont.nom, SiVide::Defaut, police.nom)),
        dansGroupe(groupePolice, booleen(u"Bold", &prefIncrustFont.gras, police.gras)),
        dansGroupe(groupePolice, booleen(u"Italic", &prefIncrustFont.italique, police.italique)),
        dansGroupe(groupePolice, booleen(u"Underline", &prefIncrustFont.souligne, police.souligne)),
        dansGroupe(groupePolice, booleen(u"StrikeOut", &prefIncrustFont.barre, police.barre)),
    };
    return v;
}

template <class... F>
struct Selon : F... {
    using F::operator()...;
};
template <class... F>
Selon(F...) -> Selon<F...>;

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

void donnerDefaut(const Valeur& v, bool premierLancement)
{
    const int defaut = premierLancement ? v.defautPremierLancement.value_or(v.defaut) : v.defaut;
    std::visit(Selon{[&](bool* b) { *b = defaut != 0; },
                     [&](QString* t) { *t = v.siVide == SiVide::Defaut ? v.texteDefaut : QString(); },
                     [&](auto* n) { *n = std::remove_reference_t<decltype(*n)>(defaut); }},
               v.cible);
}

// Missing or unreadable values take their defaults; nothing is reported.
void lire(const QSettings& s, const Valeur& v)
{
    const std::optional<int> n = lireEntier(s, v.cle());
    std::visit(Selon{[&](bool* b) { *b = n ? *n != 0 : v.defaut != 0; }, // any non-zero integer is true
                     [&](QString* t) { *t = lireTexte(s, v.cle()); },
                     [&](auto* p) {
                         *p = std::remove_reference_t<decltype(*p)>(n && *n >= v.min && *n <= v.max ? *n : v.defaut);
                     }},
               v.cible);
}

void ecrire(QSettings& s, const Valeur& v)
{
    std::visit(Selon{[&](bool* b) { s.setValue(v.cle(), *b ? 1 : 0); },
                     [&](QString* t) { s.setValue(v.cle(), *t); },
                     [&](auto* n) { s.setValue(v.cle(), int(*n)); }},
               v.cible);
}

void appliquerSiVide(const Valeur& v, const MagasinPreferences& magasin)
{
    QString* const* t = std::get_if<QString*>(&v.cible);
    if (!t)
        return;
    QString& valeur = **t;
    switch (v.siVide) {
    case SiVide::Garder:
        break;
    case SiVide::Defaut:
        if (valeur.isEmpty())
            valeur = v.texteDefaut;
        break;
    case SiVide::Dossier:
        // Folders are joined with file names ("PlayList.txt", converted files).
        valeur = avecSeparateurFinal(valeur.isEmpty() ? DossierPersonnel() : valeur);
        break;
    case SiVide::Stillex:
        if (valeur.isEmpty() && magasin.existe(QStringLiteral("Stillex")))
            valeur = lireTexte(*magasin.ouvrir(QStringLiteral("Stillex")), QStringLiteral("exename"));
        break;
    }
}

// Action names are value names of their own group: a separator would make a
// sub-group of it, and the name would not come back.
bool nomActionStockable(const QString& n)
{
    return !n.isEmpty() && !n.contains(u'/') && !n.contains(u'\\');
}

// The settings as the program starts, before any load.
[[maybe_unused]] const bool valeursInitiales = [] {
    for (const Valeur& v : valeurs({}))
        donnerDefaut(v, false);
    return true;
}();

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
    const QStringList groupes = s ? s->childGroups() : QStringList();

    // A group that is not stored gives its values their defaults without reading any.
    for (const Valeur& v : valeurs(geometrie)) {
        if (s && (v.groupe.isEmpty() || groupes.contains(v.groupe)))
            lire(*s, v);
        else
            donnerDefaut(v, !s);
        appliquerSiVide(v, magasin);
    }

    etatActions.clear();
    if (s && groupes.contains(groupeActions)) {
        s->beginGroup(groupeActions);
        for (const QString& action : s->childKeys()) {
            // Only the program writes this group, and only integers; anything
            // else is left out, so the action keeps its default state.
            if (const std::optional<int> valeur = lireEntier(*s, action))
                etatActions.append({action, *valeur});
        }
        s->endGroup();
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

    // Written for whoever reads the file; never read back.
    s->setValue(QStringLiteral("version"),
                programme + u' ' + entete.versionProgramme + QStringLiteral(" Fr de ") + fabricant);
    s->setValue(QStringLiteral("Dernière Sauvegarde"), entete.moment.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
    s->setValue(QStringLiteral("Exename"), entete.exename);

    for (const Valeur& v : valeurs({}))
        ecrire(*s, v);

    s->remove(groupeActions);
    s->beginGroup(groupeActions);
    for (const EtatAction& action : std::as_const(etatActions))
        if (nomActionStockable(action.nom))
            s->setValue(action.nom, action.valeur);
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
