#include "integration/plugins.h"

#include "commands/FileAction.h"
#include "commands/registre_commandes.h"
#include "korvan/plugin.h"
#include "chemins_installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QStandardPaths>

#include <cstring>
#include <memory>

namespace korvan {

static_assert(sizeof(KorvanParam) == sizeof(TParam) && offsetof(KorvanParam, Taille) == offsetof(TParam, Taille)
                  && offsetof(KorvanParam, Donnees) == offsetof(TParam, Donnees),
              "the plug-ins' parameter record is the program's");

namespace {

constexpr int kTailleTampon = 65537;
constexpr int kTailleTexteRendu = 4096; // confirmation questions and new file names

using FonctionTexte = void (*)(char*, int32_t);
using FonctionEntier = void (*)(int32_t*);
using FonctionCommande = void (*)(int32_t, KorvanFileAction**);

// What a plug-in handler sees of an entry: the accessor table first, as the header says.
struct EntreePlugin {
    KorvanEntree entete;
    const TAfficherFichier* fichier;
};

const TAfficherFichier* fichierDe(const KorvanEntree* e)
{
    return e ? reinterpret_cast<const EntreePlugin*>(e)->fichier : nullptr;
}

int32_t texteEntree(const KorvanEntree* e, int32_t champ, char* tampon, int32_t taille)
{
    const TAfficherFichier* f = fichierDe(e);
    if (!f)
        return -1;
    QString t;
    switch (champ) {
    case KORVAN_CHEMIN: t = f->chemin; break;
    case KORVAN_NOM: t = f->nom; break;
    case KORVAN_TEXTE_DATECODE: t = f->texteDatecode; break;
    case KORVAN_TEXTE_TIMECODE: t = f->texteTimecode; break;
    case KORVAN_CODEC: t = f->texteCodec(); break;
    case KORVAN_TEXTE_TAILLE: t = f->texteTaille; break;
    case KORVAN_TEXTE_DUREE: t = f->texteDuree; break;
    case KORVAN_TEXTE_AUDIO: t = f->texteAudio; break;
    case KORVAN_CLE_DATECODE: t = f->cleDatecode; break;
    default: return -1;
    }
    const QByteArray octets = t.toUtf8();
    if (tampon && taille > 0) {
        const size_t n = LongueurUtf8Coupee(octets.constData(), size_t(octets.size()), size_t(taille - 1));
        std::memcpy(tampon, octets.constData(), n);
        tampon[n] = '\0';
    }
    return int32_t(octets.size());
}

int64_t nombreEntree(const KorvanEntree* e, int32_t champ)
{
    const TAfficherFichier* f = fichierDe(e);
    if (!f)
        return 0;
    switch (champ) {
    case KORVAN_EST_DV: return f->estDV;
    case KORVAN_TYPE_DV: return f->typeDV;
    case KORVAN_LARGEUR: return f->largeur;
    case KORVAN_HAUTEUR: return f->hauteur;
    case KORVAN_FORMAT_16X9: return f->format16x9;
    case KORVAN_STANDARD: return f->standard;
    case KORVAN_DUREE_VIDEO: return f->dureeVideo;
    case KORVAN_TAILLE: return int64_t(f->taille());
    case KORVAN_A_SCENES: return f->aScenes;
    default: return 0;
    }
}

double fpsEntree(const KorvanEntree* e)
{
    const TAfficherFichier* f = fichierDe(e);
    return f ? f->fps : 0.0;
}

const KorvanFonctionsEntree kFonctionsEntree{texteEntree, nombreEntree, fpsEntree};

EntreePlugin entreePour(const TAfficherFichier* f)
{
    return {{&kFonctionsEntree}, f};
}

const KorvanEntree* pointeur(const EntreePlugin& e, const TAfficherFichier* f)
{
    return f ? &e.entete : nullptr;
}

KorvanParam* param(TParam& p)
{
    return reinterpret_cast<KorvanParam*>(&p);
}

QString texteC(const char* t)
{
    return t ? QString::fromUtf8(t) : QString();
}

// The program's command for a plug-in's: its texts copied, its handlers
// called through their C entry points.
std::unique_ptr<tFileAction> CommandeDe(const KorvanFileAction& c)
{
    auto a = std::make_unique<tFileAction>(texteC(c.Name));
    a->setCaption(texteC(c.Caption));
    a->setShortcut(texteC(c.Shortcut));
    a->setSwitch(texteC(c.Switch));
    a->setModele(texteC(c.Modele));
    a->setMonoMessage(texteC(c.MonoMessage));
    a->Tag = c.Tag;
    std::memcpy(static_cast<void*>(&a->Param), &c.Param, sizeof(TParam));
    if (const auto f = c.OnGeneralCondition)
        a->OnGeneralCondition = [f](TParam& p, bool& visible) {
            int32_t v = visible;
            f(param(p), &v);
            visible = v != 0;
        };
    if (const auto f = c.OnFileCondition)
        a->OnFileCondition = [f](TParam& p, const TAfficherFichier* fichier, bool& visible, bool& enabled) {
            const EntreePlugin e = entreePour(fichier);
            int32_t v = visible;
            int32_t en = enabled;
            f(param(p), pointeur(e, fichier), &v, &en);
            visible = v != 0;
            enabled = en != 0;
        };
    if (const auto f = c.OnConfirmation)
        a->OnConfirmation = [f](TParam& p, const TAfficherFichier* fichier, QString& question) {
            const EntreePlugin e = entreePour(fichier);
            std::vector<char> tampon(kTailleTexteRendu, '\0');
            const QByteArray avant = question.toUtf8().left(kTailleTexteRendu - 1);
            std::memcpy(tampon.data(), avant.constData(), size_t(avant.size()));
            f(param(p), pointeur(e, fichier), tampon.data(), kTailleTexteRendu);
            tampon.back() = '\0';
            question = QString::fromUtf8(tampon.data());
        };
    if (const auto f = c.OnExecution)
        a->OnExecution = [f](TParam& p, const TAfficherFichier* fichier, QString& nouveau, TchUpdateType& maj) {
            const EntreePlugin e = entreePour(fichier);
            std::vector<char> tampon(kTailleTexteRendu, '\0');
            int32_t m = maj;
            f(param(p), pointeur(e, fichier), tampon.data(), kTailleTexteRendu, &m);
            tampon.back() = '\0';
            nouveau = QString::fromUtf8(tampon.data());
            maj = m >= utNone && m <= utRename ? TchUpdateType(m) : utNone;
        };
    return a;
}

// Libraries and commands stay for the life of the program.
std::vector<std::unique_ptr<QLibrary>>& bibliotheques()
{
    static std::vector<std::unique_ptr<QLibrary>> l;
    return l;
}

std::vector<std::unique_ptr<tFileAction>>& commandesPlugins()
{
    static std::vector<std::unique_ptr<tFileAction>> c;
    return c;
}

std::vector<LignePlugins>& page()
{
    static std::vector<LignePlugins> p;
    return p;
}

} // namespace

QStringList DossiersPlugins()
{
    const QString programme = QCoreApplication::applicationDirPath();
    QStringList dossiers{programme + QStringLiteral("/plugins"),
                         QDir::cleanPath(programme + u'/' + QStringLiteral(KORVAN_PLUGINS_DEPUIS_PROGRAMME))};
    const QString donnees = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!donnees.isEmpty())
        dossiers << donnees + QStringLiteral("/korvan/plugins");
    return dossiers;
}

QString LireChainePlugin(QLibrary& bibliotheque, const char* exportation)
{
    const auto f = reinterpret_cast<FonctionTexte>(bibliotheque.resolve(exportation));
    if (!f)
        return {};
    // Not cleared beforehand, as plug-ins expect; the last byte stops a text without its zero.
    std::vector<char> tampon(kTailleTampon);
    f(tampon.data(), kTailleTampon);
    const size_t n = strnlen(tampon.data(), kTailleTampon);
    return QString::fromUtf8(tampon.data(), qsizetype(n)).left(255);
}

int32_t LireEntierPlugin(QLibrary& bibliotheque, const char* exportation)
{
    const auto f = reinterpret_cast<FonctionEntier>(bibliotheque.resolve(exportation));
    if (!f)
        return 0;
    int32_t n = 0;
    f(&n);
    return n;
}

std::vector<LignePlugins> ChargerPlugins(const QStringList& dossiers)
{
    std::vector<LignePlugins>& lignes = page();
    lignes.clear();
    for (const QString& dossier : dossiers) {
        const QDir d(dossier);
        const QStringList fichiers =
            d.entryList({QStringLiteral("*.qzp")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString& nom : fichiers) {
            auto bibliotheque = std::make_unique<QLibrary>(d.filePath(nom));
            const bool chargee = bibliotheque->load();
            QLibrary& b = *bibliotheque;
            bibliotheques().push_back(std::move(bibliotheque));
            if (!chargee)
                continue;
            if (LireChainePlugin(b, "GETPLUGIN_TYPE").toLower() != QLatin1String(KORVAN_PLUGIN_TYPE))
                continue;
            const QString version = LireChainePlugin(b, "GETPLUGIN_VERSION");
            const QString description = LireChainePlugin(b, "GETPLUGIN_DESCRIPTION");
            const int32_t n = LireEntierPlugin(b, "GETPLUGIN_NBFILEACTION");
            if (lignes.empty()) {
                lignes.push_back({QStringLiteral("%1 utilise les plug-ins suivants:").arg(QStringLiteral("Korvan"))});
                lignes.push_back({});
            }
            lignes.push_back({nom + QStringLiteral(" (") + QString::number(n) + QStringLiteral(" actions):"),
                              LignePlugins::Style::GrasSouligne});
            lignes.push_back({version, LignePlugins::Style::Normal});
            lignes.push_back({description, LignePlugins::Style::Italique});
            lignes.push_back({});
            const auto commande = reinterpret_cast<FonctionCommande>(b.resolve("GETPLUGIN_FILEACTIONFUNCTION"));
            for (int32_t i = 0; commande && i < n; ++i) {
                KorvanFileAction* c = nullptr;
                commande(i, &c);
                // A null reference or an older, shorter record is no command.
                if (!c || c->taille < sizeof(KorvanFileAction) || !c->Name)
                    continue;
                commandesPlugins().push_back(CommandeDe(*c));
                AjouterCommande(commandesPlugins().back().get());
            }
        }
    }
    return lignes;
}

const std::vector<LignePlugins>& pagePlugins()
{
    return page();
}

} // namespace korvan
