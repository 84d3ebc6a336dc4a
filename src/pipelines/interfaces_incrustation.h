#pragma once
// The settings interfaces of the four overlay components, one per component.
// The number after each method is its fixed place in the interface (from 1),
// by which the graph builders and panels know it. Setters take effect on the
// next frame the component handles; texts longer than 255 characters are cut.
#include <QString>

namespace korvan {

// The drawing of a text over decoded video. The text is a template where
// "%D" stands for the datecode delivered with each frame (and "%%" for "%").
class ISuperposerParam3 {
public:
    virtual ~ISuperposerParam3() = default;
    virtual void SetText(const QString& modele) = 0;          // 1
    virtual void SetVisible(bool visible) = 0;                // 2
    virtual void SetAutoFontSize(bool automatique) = 0;       // 3: size from the picture, see 11
    virtual void SetFontSize(int points) = 0;                 // 4: at 96 dots per inch of picture
    virtual void SetFontName(const QString& nom) = 0;         // 5
    virtual void SetFontColor(int couleur) = 0;               // 6: 0x00BBGGRR
    virtual void SetBold(bool gras) = 0;                      // 7
    virtual void SetItalic(bool italique) = 0;                // 8
    virtual void SetUnderline(bool souligne) = 0;             // 9
    virtual void SetStrikeOut(bool barre) = 0;                // 10
    // 11: with automatic size, the text is 1/n of the picture's height (20 by default).
    virtual void SetAutoSizeDivisor(int n) = 0;
    virtual QString GetText() const = 0;                      // 12: the template
    // 13: width in pixels of a dark outline around the letters; 0 (the default) for none.
    virtual void SetOutlineWidth(int pixels) = 0;
    // 14: x and y in thousandths of the picture's width and height from its
    // top-left corner; they place the top-right corner of the text, which is
    // then kept inside the picture. The third value is reserved (0).
    virtual void SetPosition(int x, int y, int reserve) = 0;
    virtual void GetPosition(int& x, int& y) const = 0;       // 15
    virtual void SetTextTemplate(const QString& modele) = 0;  // 16: the same as SetText
};

// The turning of DV frames into the datecode text to draw.
class IDatecoderConfig {
public:
    virtual ~IDatecoderConfig() = default;
    virtual void SetHourOffset(int heures) = 0;               // 1: -23..23, others are brought in range
    virtual void SetFormat(const QString& format) = 0;        // 2: FormatDateTime notation
    // 3: 1 for a burn-in, where every frame arrives once and in order: the
    // automatic duration counts frames. 0 for the preview, where frames are
    // skipped and shown again: the duration is in seconds of the recording clock.
    virtual void SetBurnIn(bool incrustation) = 0;
    virtual void SetAutoDuration(int duree) = 0;              // 4: frames or seconds, see 3
    // 5: deliver the datecode only during the duration after each scene change.
    virtual void SetAutoInlay(bool automatique) = 0;
};

// The writing of the recording clock and the picture format into DV frames.
class IDVHeaderConfig {
public:
    virtual ~IDVHeaderConfig() = default;
    // 1: back to the defaults (offset 0, subcode not copied, date packs
    // created, two inputs, picture format left alone). Version 1 is the only one.
    virtual void Reset(int version) = 0;
    virtual int GetFrameCount() const = 0;                    // 2: frames delivered since the reset
    virtual void SetHourOffset(int heures) = 0;               // 3
    // 4: copy the source frame's subcode (tape time code) into the output,
    // for outputs of the source's standard.
    virtual void SetCopySubcode(bool copier) = 0;
    // 5: give the output frames date and time packs where they have none (frames
    // fresh from a DV encoder); off, only the packs present are rewritten.
    virtual void SetCreateDatePacks(bool creer) = 0;
    // 6: the source frame is the input frame itself (a clock shift).
    virtual void SetSingleInput(bool seule) = 0;
    virtual void SetWide(bool large) = 0;                     // 7: 16:9 (true) or 4:3
};

// The passing of samples with their content unchanged; only their times may change.
class ITimeStamperConfig {
public:
    enum Mode { Inchanges = 0, Renumerotes = 1, SansTemps = 2 };
    virtual ~ITimeStamperConfig() = default;
    // 1: Inchanges keeps the times, Renumerotes gives sample n the time
    // n x the frame duration, SansTemps takes the times off (shown at once).
    virtual void SetMode(int mode) = 0;
    virtual void SetFrameDuration(int duree) = 0;             // 2: 100 ns units (400000 by default)
    virtual int GetMode() const = 0;                          // 3
    virtual int GetSampleCount() const = 0;                   // 4: samples since the last restart
    virtual void Restart() = 0;                               // 5: a new stream: numbering from 0
    virtual int GetFrameDuration() const = 0;                 // 6
};

} // namespace korvan
