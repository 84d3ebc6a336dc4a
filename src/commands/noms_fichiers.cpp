#include "commands/noms_fichiers.h"

#include "analysis/format_date.h"
#include "platform/preferences.h"

#include <QFileInfo>

namespace korvan {

QString BaseDeChemin(const QString& chemin)
{
    if (chemin.endsWith(QLatin1StringView(".avi"), Qt::CaseInsensitive))
        return chemin.left(chemin.size() - 4);
    return chemin;
}

QString DossierDeChemin(const QString& chemin)
{
    return chemin.left(chemin.lastIndexOf(u'/') + 1);
}

QString DatecodePourNom(TDateTime datecode, const QString& format)
{
    QString texte = FormatDateTime(format, datecode);
    for (QChar c : {u'<', u'>', u':', u'"', u'/', u'\\', u'|'})
        texte.replace(c, u'.');
    return texte;
}

QString DatecodePourNom(TDateTime datecode)
{
    return DatecodePourNom(datecode, prefFormatAjouter);
}

bool FichierExiste(const QString& chemin)
{
    // A dangling symbolic link still takes the name.
    const QFileInfo info(chemin);
    return info.exists() || info.isSymLink();
}

QString NomLibre(const QString& base, const TestExistence& existe)
{
    const QString avi = QStringLiteral(".avi");
    if (!existe(base + avi))
        return base;
    for (qint64 n = 1;; ++n) {
        const QString candidat = base + u'(' + QString::number(n) + u')';
        if (!existe(candidat + avi))
            return candidat;
    }
}

bool SuffixeRetirable(const QString& suffixe)
{
    QString bas = suffixe;
    // Only A to Z are lowered, as the historical comparison did.
    for (QChar& c : bas)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    static const QStringList connus = {QStringLiteral("type2"), QStringLiteral("type1"), QStringLiteral("in"),
                                       QStringLiteral("ntsc"),  QStringLiteral("pal"),   QStringLiteral("am"),
                                       QStringLiteral("pm")};
    if (connus.contains(bas))
        return true;
    for (QChar c : bas)
        if (c >= u'a' && c <= u'z')
            return false;
    return true;
}

namespace {

// Position of the "_" that ends the name part before the last suffix, or -1.
qsizetype dernierSeparateur(const QString& s)
{
    const qsizetype debutNom = s.lastIndexOf(u'/') + 1;
    const qsizetype i = s.lastIndexOf(u'_');
    return i > debutNom ? i : -1;
}

} // namespace

QString NomRaccourci(const QString& base)
{
    QString s = base;
    for (;;) {
        const qsizetype i = dernierSeparateur(s);
        if (i < 0 || !SuffixeRetirable(s.mid(i + 1)))
            return s;
        s.truncate(i);
    }
}

bool EstRaccourcissable(const QString& base)
{
    const qsizetype i = dernierSeparateur(base);
    return i >= 0 && SuffixeRetirable(base.mid(i + 1));
}

} // namespace korvan
