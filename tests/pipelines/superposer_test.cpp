// The superposer on decoded fixture frames: where its text lands, what the
// settings change, and the picture kept in docs/ that shows the datecode at
// the default place.
#include "pipelines/superposer.h"

#include "pipelines/datecoder.h"
#include "pipelines/ffmpeg_glue.h"
#include "support/trames_dv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <functional>

using namespace korvan;
using korvan::test::TrameDV;
using korvan::test::tramesFixture;

namespace {

const QString kDate1 = QStringLiteral("14/07/2004 10:31:05");
const QString kDate2 = QStringLiteral("15/08/2005 21:42:16");

QImage decoder(const char* clip, size_t image = 0)
{
    ffmpeg::DecodeurImagesDV d;
    return d.decoder(tramesFixture(clip).at(image));
}

// Pixels that differ by more than the threshold in a channel.
QRect zoneChangee(const QImage& a, const QImage& b, int seuil = 0, int* nombre = nullptr)
{
    QRect zone;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > seuil || std::abs(qGreen(p) - qGreen(q)) > seuil
                || std::abs(qBlue(p) - qBlue(q)) > seuil) {
                zone |= QRect(x, y, 1, 1);
                ++n;
            }
        }
    if (nombre)
        *nombre = n;
    return zone;
}

// The settings the preview sends with the default preferences.
void reglagesParDefaut(Superposer& s)
{
    s.SetText(QStringLiteral("%D"));
    s.SetAutoFontSize(true);
    EnvoyerPolice(s, PoliceIncrust{});
    s.SetAutoSizeDivisor(20);
    s.SetVisible(true);
    s.SetPosition(920, 120, 0);
}

QImage incruster(Superposer& s, QImage image, const QString& datecode)
{
    s.traiter(image, datecode);
    return image;
}

} // namespace

TEST(DecodeurImagesDV, DecodesPalAndNtscFramesAtTheirStoredSize)
{
    KORVAN_REQUIRE_FIXTURES();
    const QImage pal = decoder("pal_t2_43.avi");
    EXPECT_EQ(pal.size(), QSize(720, 576));
    const QImage ntsc = decoder("ntsc_t1_32k.avi");
    EXPECT_EQ(ntsc.size(), QSize(720, 480));
    ffmpeg::DecodeurImagesDV d;
    EXPECT_TRUE(d.decoder(std::vector<uint8_t>(1000, 0x55)).isNull());
    EXPECT_FALSE(d.erreur().isEmpty());
    EXPECT_TRUE(d.decoder({}).isNull());
    // A bad frame does not spoil the next one.
    EXPECT_FALSE(d.decoder(tramesFixture("pal_t2_43.avi").at(1)).isNull());
}

TEST(Superposer, DefaultPlaceKeepsTheTextInsideThePictureNearItsTopRightCorner)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const char* clip : {"pal_t2_43.avi", "ntsc_t2_43.avi"}) {
        SCOPED_TRACE(clip);
        const QImage original = decoder(clip);
        Superposer s;
        reglagesParDefaut(s);
        int pixels = 0;
        const QImage avecTexte = incruster(s, original, kDate1);
        const QRect change = zoneChangee(original, avecTexte, 0, &pixels);
        const QRect zone = s.zoneTexte(original.size(), kDate1);
        EXPECT_GT(pixels, 300);
        EXPECT_TRUE(zone.contains(change)) << change.x() << "," << change.y() << " " << change.width() << "x" << change.height();
        EXPECT_TRUE(original.rect().contains(zone));
        // Top-right corner at (92 %, 12 %) of the picture; automatic size is 1/20 of its height.
        EXPECT_LE(zone.right(), original.width() * 92 / 100);
        EXPECT_GE(zone.right(), original.width() * 92 / 100 - 2);
        EXPECT_EQ(zone.top(), original.height() * 12 / 100);
        EXPECT_NEAR(change.height(), original.height() / 20, original.height() / 40);
    }
}

TEST(Superposer, TextChangesWithTheDatecodeAndNowhereElse)
{
    KORVAN_REQUIRE_FIXTURES();
    const QImage original = decoder("pal_t2_43.avi");
    Superposer s;
    reglagesParDefaut(s);
    const QImage premiere = incruster(s, original, kDate1);
    const QImage seconde = incruster(s, original, kDate2);
    const QRect difference = zoneChangee(premiere, seconde);
    EXPECT_FALSE(difference.isEmpty());
    EXPECT_TRUE(s.zoneTexte(original.size(), kDate1).united(s.zoneTexte(original.size(), kDate2)).contains(difference));
}

TEST(Superposer, SettingsApplyToTheNextFrame)
{
    KORVAN_REQUIRE_FIXTURES();
    const QImage original = decoder("pal_t2_43.avi");
    Superposer s;
    reglagesParDefaut(s);

    s.SetVisible(false);
    EXPECT_EQ(incruster(s, original, kDate1), original);
    s.SetVisible(true);

    // A template that needs a datecode draws nothing without one; one that does not, always draws.
    EXPECT_EQ(incruster(s, original, QString()), original);
    s.SetText(QStringLiteral("Vacances"));
    EXPECT_NE(incruster(s, original, QString()), original);
    s.SetText(QStringLiteral("100%% le %D"));
    const QRect avecTexte = s.zoneTexte(original.size(), kDate1);
    s.SetTextTemplate(QString(300, QLatin1Char('x')));
    EXPECT_EQ(s.GetText().size(), 255);
    s.SetTextTemplate(QStringLiteral("%D"));
    EXPECT_GT(avecTexte.width(), s.zoneTexte(original.size(), kDate1).width());

    // Colour 0x00BBGGRR: the letters' inner pixels are pure red, none white.
    s.SetFontColor(0x0000FF);
    const QImage rouge = incruster(s, original, kDate1);
    int rouges = 0, blancs = 0;
    const QRect zone = s.zoneTexte(original.size(), kDate1);
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x) {
            const QRgb p = rouge.pixel(x, y);
            if (p == original.pixel(x, y))
                continue;
            rouges += p == qRgb(255, 0, 0);
            blancs += p == qRgb(255, 255, 255);
        }
    EXPECT_GT(rouges, 100);
    EXPECT_EQ(blancs, 0);
    s.SetFontColor(0xFFFFFF);

    // Fixed size in points at 96 dpi: the same on PAL and NTSC pictures.
    s.SetAutoFontSize(false);
    s.SetFontSize(30);
    const int hauteurPal = s.zoneTexte(QSize(720, 576), kDate1).height();
    EXPECT_EQ(s.zoneTexte(QSize(720, 480), kDate1).height(), hauteurPal);
    s.SetFontSize(60);
    EXPECT_GT(s.zoneTexte(QSize(720, 576), kDate1).height(), hauteurPal * 3 / 2);
    s.SetAutoFontSize(true);
    s.SetAutoSizeDivisor(10);
    EXPECT_GT(s.zoneTexte(QSize(720, 576), kDate1).height(), 576 / 10);

    // Styles widen or mark the text.
    s.SetAutoSizeDivisor(20);
    s.SetBold(false);
    const QRect maigre = s.zoneTexte(original.size(), kDate1);
    s.SetBold(true);
    EXPECT_GT(s.zoneTexte(original.size(), kDate1).width(), maigre.width());
    const QImage droit = incruster(s, original, kDate1);
    for (const auto& style : std::vector<std::function<void(bool)>>{
             [&](bool v) { s.SetItalic(v); }, [&](bool v) { s.SetUnderline(v); }, [&](bool v) { s.SetStrikeOut(v); }}) {
        style(true);
        const QImage marque = incruster(s, original, kDate1);
        EXPECT_NE(marque, droit);
        EXPECT_TRUE(s.zoneTexte(original.size(), kDate1).contains(zoneChangee(original, marque)));
        style(false);
    }
    EXPECT_EQ(incruster(s, original, kDate1), droit);
}

TEST(Superposer, PositionsAreThousandthsAndTheTextNeverLeavesThePicture)
{
    Superposer s;
    reglagesParDefaut(s);
    const QSize pal(720, 576);
    const QRect defaut = s.zoneTexte(pal, kDate1);
    s.SetPosition(500, 500, 0);
    const QRect milieu = s.zoneTexte(pal, kDate1);
    EXPECT_EQ(milieu.right() + 1, 360);
    EXPECT_EQ(milieu.top(), 288);
    EXPECT_EQ(milieu.size(), defaut.size());
    // Corners: the box is pushed back inside.
    s.SetPosition(0, 0, 0);
    EXPECT_EQ(s.zoneTexte(pal, kDate1).topLeft(), QPoint(0, 0));
    s.SetPosition(1000, 1000, 0);
    EXPECT_EQ(s.zoneTexte(pal, kDate1).bottomRight(), QPoint(719, 575));
    s.SetPosition(5000, -3, 0); // out of range: taken as (1000, 0)
    int x = -1, y = -1;
    s.GetPosition(x, y);
    EXPECT_EQ(x, 1000);
    EXPECT_EQ(y, 0);
    // A text wider than the picture starts at its left edge and is cut on the right.
    s.SetText(QString(200, QLatin1Char('W')));
    const QRect large = s.zoneTexte(pal, kDate1);
    EXPECT_EQ(large, QRect(QPoint(0, 0), pal).intersected(large));
    EXPECT_EQ(large.left(), 0);
    // Nothing on an empty picture.
    EXPECT_TRUE(s.zoneTexte(QSize(0, 0), kDate1).isEmpty());
    QImage vide;
    s.traiter(vide, kDate1);
    EXPECT_TRUE(vide.isNull());
}

TEST(Superposer, OutlineDarkensAroundTheLetters)
{
    KORVAN_REQUIRE_FIXTURES();
    const QImage original = decoder("pal_t2_43.avi");
    Superposer s;
    reglagesParDefaut(s);
    const QImage sans = incruster(s, original, kDate1);
    s.SetOutlineWidth(2);
    const QImage avec = incruster(s, original, kDate1);
    const QRect zone = s.zoneTexte(original.size(), kDate1);
    EXPECT_TRUE(zone.contains(zoneChangee(original, avec)));
    int noirs = 0;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            noirs += qGray(avec.pixel(x, y)) < 20 && qGray(sans.pixel(x, y)) > 60;
    EXPECT_GT(noirs, 100);
}

TEST(Superposer, PalettePicturesAreDrawnInColour)
{
    QImage palette(200, 100, QImage::Format_Indexed8);
    palette.setColorCount(1);
    palette.setColor(0, qRgb(0, 0, 128));
    palette.fill(0);
    Superposer s;
    reglagesParDefaut(s);
    s.traiter(palette, kDate1);
    EXPECT_EQ(palette.format(), QImage::Format_RGB32);
    EXPECT_FALSE(zoneChangee(palette, QImage(200, 100, QImage::Format_RGB32).copy()).isEmpty());
}

TEST(Superposer, DocumentedPictureShowsTheDatecodeAtTheDefaultPlace)
{
    KORVAN_REQUIRE_FIXTURES();
    // The datecoder reads the frame's own clock; the superposer draws it with
    // the default preferences, as the preview shows it.
    const TrameDV trame = tramesFixture("pal_t2_43.avi").at(0);
    ffmpeg::DecodeurImagesDV decodeur;
    const QImage original = decodeur.decoder(trame);
    ASSERT_FALSE(original.isNull());
    Datecoder datecoder(ReglagesFormat::francais());
    const QString datecode = datecoder.traiter(trame);
    ASSERT_EQ(datecode, kDate1);
    Superposer s;
    reglagesParDefaut(s);
    const QImage image = incruster(s, original, datecode);

    // Written beside the build, and into docs/ when asked (KORVAN_ECRIRE_DOCS=1).
    const QString nom = QStringLiteral("incrustation_datecode.png");
    QDir().mkpath(QStringLiteral(KORVAN_BINARY_DIR "/docs"));
    EXPECT_TRUE(image.save(QStringLiteral(KORVAN_BINARY_DIR "/docs/") + nom));
    const QString documente = QStringLiteral(KORVAN_SOURCE_DIR "/docs/") + nom;
    if (qEnvironmentVariableIntValue("KORVAN_ECRIRE_DOCS") == 1) {
        QDir().mkpath(QFileInfo(documente).path());
        ASSERT_TRUE(image.save(documente));
    }

    // The committed picture: the decoded frame, changed only by text lying
    // inside the picture, below 12 % of its height and left of 92 % of its
    // width, about 1/20 of its height tall. (Another machine may pick
    // another face for "Arial", so the check is not pixel-exact.)
    const QImage doc(documente);
    ASSERT_FALSE(doc.isNull()) << "missing " << documente.toStdString();
    ASSERT_EQ(doc.size(), original.size());
    int pixels = 0;
    const QRect texte = zoneChangee(original, doc.convertToFormat(QImage::Format_RGB32), 48, &pixels);
    EXPECT_GT(pixels, 300);
    EXPECT_TRUE(original.rect().adjusted(1, 1, -1, -1).contains(texte));
    EXPECT_GE(texte.top(), original.height() * 12 / 100);
    EXPECT_LE(texte.right(), original.width() * 92 / 100);
    EXPECT_LE(texte.height(), original.height() / 10);
    EXPECT_GT(texte.width(), original.width() / 4);

    // Another recording date gives other text pixels.
    const QImage autreDate = incruster(s, original, kDate2);
    EXPECT_FALSE(zoneChangee(image, autreDate, 48).isEmpty());
}
