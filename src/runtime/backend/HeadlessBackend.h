#pragma once
// The headless backend: no windows, a fixed screen of 1024 by 768 pixels, and a record of everything it
// was asked to show. Each peer update appends one entry (the control's path, its class, the aspect and
// the value shown), and the backend keeps the latest value per control and aspect, so that tests can ask
// "what does the screen show for frmX/edName?".
#include "backend/Backend.h"

#include <map>
#include <string>
#include <vector>

namespace rt {

struct TShownRecord {
    std::string Path;      // "frmX/pnlTop/edName"
    std::string ClassName; // "TEdit"
    TPeerAspect Aspect;
    std::string Value; // the aspect as text ("True", "10,20,121,21", the caption, the item texts)
};

class THeadlessBackend : public TBackend {
public:
    THeadlessBackend();
    std::unique_ptr<TControlPeer> CreatePeer(TControl& control) override;
    int ScreenWidth() const override { return 1024; }
    int ScreenHeight() const override { return 768; }
    std::vector<std::string> FontNames() const override;
    // Measured as a simple fixed-pitch font: half the font height per ASCII character, the full height for
    // any other character.
    int TextWidth(const TFont& font, std::string_view text) const override;
    int TextHeight(const TFont& font, std::string_view text) const override;
    void Beep() override { ++FBeeps; }

    const std::vector<TShownRecord>& Records() const { return FRecords; }
    void ClearRecords() { FRecords.clear(); }
    // The last value shown for a control path and aspect; "" when never shown.
    std::string Shown(const std::string& path, TPeerAspect aspect) const;
    bool WasShown(const std::string& path) const;
    int Beeps() const { return FBeeps; }
    int PeerCount() const { return FPeerCount; }

    // Called by the peers.
    void Record(TShownRecord record);
    void PeerCreated() { ++FPeerCount; }
    void PeerDestroyed() { --FPeerCount; }

private:
    static constexpr size_t kMaxRecords = 100000;
    std::vector<TShownRecord> FRecords;
    std::map<std::pair<std::string, int>, std::string> FLatest;
    int FBeeps = 0;
    int FPeerCount = 0;
};

// The active backend when it is the headless one, else null.
THeadlessBackend* HeadlessBackend();

} // namespace rt
