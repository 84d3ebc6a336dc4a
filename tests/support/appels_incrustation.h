#pragma once
// An overlay superposer and datecoder that record the calls they receive,
// one text per call: "S" or "D", the method's number, its arguments.
#include "pipelines/interfaces_incrustation.h"

#include <QStringList>

namespace korvan::test {

struct AppelsIncrustation final : ISuperposerParam3, IDatecoderConfig {
    QStringList appels;
    void SetText(const QString& m) override { appels << "S1(" + m + ")"; }
    void SetVisible(bool v) override { appels << QString("S2(%1)").arg(v); }
    void SetAutoFontSize(bool a) override { appels << QString("S3(%1)").arg(a); }
    void SetFontSize(int p) override { appels << QString("S4(%1)").arg(p); }
    void SetFontName(const QString& n) override { appels << "S5(" + n + ")"; }
    void SetFontColor(int c) override { appels << QString("S6(%1)").arg(c, 0, 16); }
    void SetBold(bool g) override { appels << QString("S7(%1)").arg(g); }
    void SetItalic(bool i) override { appels << QString("S8(%1)").arg(i); }
    void SetUnderline(bool s) override { appels << QString("S9(%1)").arg(s); }
    void SetStrikeOut(bool b) override { appels << QString("S10(%1)").arg(b); }
    void SetAutoSizeDivisor(int n) override { appels << QString("S11(%1)").arg(n); }
    QString GetText() const override { return {}; }
    void SetOutlineWidth(int p) override { appels << QString("S13(%1)").arg(p); }
    void SetPosition(int x, int y, int r) override { appels << QString("S14(%1,%2,%3)").arg(x).arg(y).arg(r); }
    void GetPosition(int&, int&) const override {}
    void SetTextTemplate(const QString& m) override { appels << "S16(" + m + ")"; }
    void SetHourOffset(int h) override { appels << QString("D1(%1)").arg(h); }
    void SetFormat(const QString& f) override { appels << "D2(" + f + ")"; }
    void SetBurnIn(bool b) override { appels << QString("D3(%1)").arg(b); }
    void SetAutoDuration(int d) override { appels << QString("D4(%1)").arg(d); }
    void SetAutoInlay(bool a) override { appels << QString("D5(%1)").arg(a); }
};

} // namespace korvan::test
