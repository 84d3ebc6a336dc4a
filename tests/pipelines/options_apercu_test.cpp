// What the options panel sends to the preview's overlay filters for each
// changed setting, in order, and nothing when a filter is not there.
#include "pipelines/options_apercu.h"

#include "platform/preferences.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace korvan;

namespace {

// Both interfaces, recording "method(arguments)" in call order.
class FiltresEnregistres : public ISuperposerParam3, public IDatecoderConfig {
public:
    QStringList appels;
    void SetText(const QString& m) override { appels << "SetText(" + m + ")"; }
    void SetVisible(bool v) override { appels << QStringLiteral("SetVisible(%1)").arg(v); }
    void SetAutoFontSize(bool a) override { appels << QStringLiteral("SetAutoFontSize(%1)").arg(a); }
    void SetFontSize(int p) override { appels << QStringLiteral("SetFontSize(%1)").arg(p); }
    void SetFontName(const QString& n) override { appels << "SetFontName(" + n + ")"; }
    void SetFontColor(int c) override { appels << QStringLiteral("SetFontColor(%1)").arg(c, 0, 16); }
    void SetBold(bool b) override { appels << QStringLiteral("SetBold(%1)").arg(b); }
    void SetItalic(bool i) override { appels << QStringLiteral("SetItalic(%1)").arg(i); }
    void SetUnderline(bool s) override { appels << QStringLiteral("SetUnderline(%1)").arg(s); }
    void SetStrikeOut(bool b) override { appels << QStringLiteral("SetStrikeOut(%1)").arg(b); }
    void SetAutoSizeDivisor(int n) override { appels << QStringLiteral("SetAutoSizeDivisor(%1)").arg(n); }
    QString GetText() const override { return {}; }
    void SetOutlineWidth(int p) override { appels << QStringLiteral("SetOutlineWidth(%1)").arg(p); }
    void SetPosition(int x, int y, int r) override { appels << QStringLiteral("SetPosition(%1,%2,%3)").arg(x).arg(y).arg(r); }
    void GetPosition(int&, int&) const override {}
    void SetTextTemplate(const QString& m) override { appels << "SetTextTemplate(" + m + ")"; }
    void SetHourOffset(int h) override { appels << QStringLiteral("SetHourOffset(%1)").arg(h); }
    void SetFormat(const QString& f) override { appels << "SetFormat(" + f + ")"; }
    void SetBurnIn(bool b) override { appels << QStringLiteral("SetBurnIn(%1)").arg(b); }
    void SetAutoDuration(int d) override { appels << QStringLiteral("SetAutoDuration(%1)").arg(d); }
    void SetAutoInlay(bool a) override { appels << QStringLiteral("SetAutoInlay(%1)").arg(a); }
};

} // namespace

TEST(OptionsApercu, EachSettingSendsItsCallsInOrder)
{
    prefIncrustFont = {30, 0x0000FF, QStringLiteral("DejaVu Serif"), false, true, true, false};
    prefAutoFontSize = true;
    prefAutoIncrust = true;
    prefDecalageHoraire = -3;
    prefFormatAfficher = QStringLiteral("dd/mm/yyyy") + QString(300, u'x');
    const struct {
        ReglageApercu reglage;
        QStringList appels;
    } cas[] = {
        {ReglageApercu::Police,
         {"SetFontSize(30)", "SetFontName(DejaVu Serif)", "SetFontColor(ff)", "SetBold(0)", "SetItalic(1)",
          "SetUnderline(1)", "SetStrikeOut(0)"}},
        {ReglageApercu::TailleAuto, {"SetAutoFontSize(1)"}},
        {ReglageApercu::IncrustAuto, {"SetAutoInlay(1)", "SetAutoDuration(8)"}},
        {ReglageApercu::Decalage, {"SetHourOffset(-3)"}},
        // At most 255 characters of the format.
        {ReglageApercu::Format, {"SetFormat(" + prefFormatAfficher.left(255) + ")"}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(int(c.reglage));
        FiltresEnregistres f;
        EXPECT_TRUE(EnvoyerReglageApercu(c.reglage, 8, &f, &f));
        EXPECT_EQ(f.appels, c.appels);
    }
}

TEST(OptionsApercu, AMissingFilterGetsNothing)
{
    FiltresEnregistres f;
    for (const ReglageApercu r : {ReglageApercu::Police, ReglageApercu::TailleAuto})
        EXPECT_FALSE(EnvoyerReglageApercu(r, 5, nullptr, &f));
    for (const ReglageApercu r : {ReglageApercu::IncrustAuto, ReglageApercu::Decalage, ReglageApercu::Format})
        EXPECT_FALSE(EnvoyerReglageApercu(r, 5, &f, nullptr));
    EXPECT_TRUE(f.appels.isEmpty());
}
