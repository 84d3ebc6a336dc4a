#include "platform/version_systeme.h"

#include <QFile>
#include <QStringList>
#include <sys/utsname.h>

namespace korvan {

bool systemeNT = false;

namespace {

QString nomWindows9x(uint32_t majeur, uint32_t mineur, const QString& sp)
{
    if (majeur != 4)
        return QStringLiteral("Inconnu");
    // The OSR and Second Edition markers sit in the second character of the
    // service-pack text (which is usually " B", " C" or " A"); a shorter text has none.
    const QChar second = sp.size() > 1 ? sp.at(1) : QChar();
    switch (mineur) {
    case 0:
        return (second == u'B' || second == u'c') ? QStringLiteral("Windows 95 OSR 2")
                                                  : QStringLiteral("Windows 95");
    case 10:
        return second == u'a' ? QStringLiteral("Windows 98 Second Edition") : QStringLiteral("Windows 98");
    case 90:
        return QStringLiteral("Windows ME");
    default:
        return QStringLiteral("Windows 9X");
    }
}

QString nomWindowsNT(uint32_t majeur, uint32_t mineur)
{
    if (majeur == 3)
        return QStringLiteral("Windows NT 3.5");
    if (majeur == 4)
        return QStringLiteral("Windows NT 4");
    if (majeur == 5) {
        switch (mineur) {
        case 0: return QStringLiteral("Windows 2000");
        case 1: return QStringLiteral("Windows XP");
        case 2: return QStringLiteral("Windows Server 2003");
        default: break;
        }
    }
    return QStringLiteral("Windows NT ?");
}

// One os-release value: quotes removed and shell escapes undone.
QString valeurOsRelease(QStringView brut)
{
    brut = brut.trimmed();
    if (brut.size() >= 2 && (brut.front() == u'"' || brut.front() == u'\'') && brut.back() == brut.front()) {
        const bool doubles = brut.front() == u'"';
        brut = brut.mid(1, brut.size() - 2);
        if (!doubles)
            return brut.toString();
        QString texte;
        for (qsizetype i = 0; i < brut.size(); ++i) {
            if (brut[i] == u'\\' && i + 1 < brut.size())
                ++i;
            texte += brut[i];
        }
        return texte;
    }
    return brut.toString();
}

} // namespace

QString NomVersionWindows(int idPlateforme, uint32_t majeur, uint32_t mineur, uint32_t build,
                          const QString& servicePack, bool* nt)
{
    QString sp = servicePack;
    if (const qsizetype zero = sp.indexOf(QChar(0)); zero >= 0)
        sp.truncate(zero);
    sp.truncate(128);

    QString nom = QStringLiteral("Inconnu");
    switch (idPlateforme) {
    case plateformeWin32s: nom = QStringLiteral("Windows 3.1"); break;
    case plateformeWindows9x: nom = nomWindows9x(majeur, mineur, sp); break;
    case plateformeWindowsNT: nom = nomWindowsNT(majeur, mineur); break;
    default: break;
    }
    if (nt)
        *nt = idPlateforme == plateformeWindowsNT;
    return nom + u' ' + sp + QStringLiteral(" - build ") + QString::number(build & 0xFFFFu);
}

QString nomSystemeLinux(const QString& contenuOsRelease, const QString& versionNoyau)
{
    QString pretty, name, version;
    for (const QString& ligne : contenuOsRelease.split(u'\n')) {
        const qsizetype egal = ligne.indexOf(u'=');
        if (egal <= 0 || ligne.trimmed().startsWith(u'#'))
            continue;
        const QString cle = ligne.left(egal).trimmed();
        const QString valeur = valeurOsRelease(QStringView(ligne).mid(egal + 1));
        if (cle == u"PRETTY_NAME")
            pretty = valeur;
        else if (cle == u"NAME")
            name = valeur;
        else if (cle == u"VERSION")
            version = valeur;
    }
    QString produit = pretty;
    if (produit.isEmpty())
        produit = QStringList{name, version}.join(u' ').trimmed();
    if (produit.isEmpty())
        produit = QStringLiteral("Linux");
    if (versionNoyau.isEmpty())
        return produit;
    return produit + QStringLiteral(" - noyau ") + versionNoyau;
}

QString NomVersionWindows()
{
    systemeNT = false;
    QString contenu;
    // os-release(5): the /etc file overrides the one the distribution ships.
    for (const char* chemin : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile f(QString::fromLatin1(chemin));
        if (f.open(QIODevice::ReadOnly)) {
            contenu = QString::fromUtf8(f.read(64 * 1024));
            break;
        }
    }
    QString noyau;
    if (struct utsname u {}; ::uname(&u) == 0)
        noyau = QString::fromLocal8Bit(u.release);
    // Linux file names are byte strings that the program reads and writes as
    // UTF-8, so the Unicode file paths always apply.
    systemeNT = true;
    return nomSystemeLinux(contenu, noyau);
}

} // namespace korvan
