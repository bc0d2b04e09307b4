#include "backend/HeadlessBackend.h"

#include "rtti/PropInfo.h"
#include "ui/Controls.h"
#include "ui/Strings.h"

namespace rt {

namespace {

std::unique_ptr<TBackend>& ActiveBackend() {
    static std::unique_ptr<TBackend> backend = std::make_unique<THeadlessBackend>();
    return backend;
}

std::string PropText(const TControl& control, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const TPropInfo* p = GetPropInfo(&control, name);
        if (!p) continue;
        if (p->Kind() == tkClass) {
            if (auto* strings = dynamic_cast<TStrings*>(GetObjectProp(&control, p)))
                return strings->CommaText();
            continue;
        }
        return GetPropText(&control, p);
    }
    return {};
}

std::string AspectValue(const TControl& c, TPeerAspect aspect) {
    switch (aspect) {
    case paBounds:
        return std::to_string(c.Left()) + "," + std::to_string(c.Top()) + "," + std::to_string(c.Width()) +
               "," + std::to_string(c.Height());
    case paText:
        return c.GetText();
    case paVisible:
        return c.Visible() ? "True" : "False";
    case paEnabled:
        return c.Enabled() ? "True" : "False";
    case paFont:
        return c.Font()->Name() + "," + std::to_string(c.Font()->Height());
    case paColor:
        return ColorToString(c.Color());
    case paHint:
        return c.Hint();
    case paItems:
        return PropText(c, {"Items", "Lines", "Panels"});
    case paSelection:
        return PropText(c, {"ItemIndex", "ActivePage", "SelStart"});
    case paChecked:
        return PropText(c, {"Checked", "Down", "State"});
    case paFocus:
        return "True";
    case paParent:
        return c.Parent() ? c.Parent()->Name() : std::string();
    case paState:
    case paAll:
        break;
    }
    return {};
}

class THeadlessPeer : public TControlPeer {
public:
    THeadlessPeer(THeadlessBackend& backend, TControl& control) : FBackend(backend), FControl(control) {
        FBackend.PeerCreated();
    }
    ~THeadlessPeer() override { FBackend.PeerDestroyed(); }

    void Update(TPeerAspect aspect) override {
        if (aspect == paAll) {
            for (TPeerAspect a : {paBounds, paText, paVisible, paEnabled, paItems, paSelection, paChecked})
                Record(a);
            return;
        }
        Record(aspect);
    }

private:
    void Record(TPeerAspect aspect) {
        FBackend.Record(TShownRecord{ComponentPath(&FControl), FControl.ClassName(), aspect,
                                     AspectValue(FControl, aspect)});
    }
    THeadlessBackend& FBackend;
    TControl& FControl;
};

} // namespace

const char* PeerAspectName(TPeerAspect aspect) {
    switch (aspect) {
    case paAll:
        return "All";
    case paBounds:
        return "Bounds";
    case paText:
        return "Text";
    case paVisible:
        return "Visible";
    case paEnabled:
        return "Enabled";
    case paFont:
        return "Font";
    case paColor:
        return "Color";
    case paHint:
        return "Hint";
    case paItems:
        return "Items";
    case paSelection:
        return "Selection";
    case paChecked:
        return "Checked";
    case paState:
        return "State";
    case paFocus:
        return "Focus";
    case paParent:
        return "Parent";
    }
    return "?";
}

TBackend& Backend() {
    return *ActiveBackend();
}

std::unique_ptr<TBackend> SetBackend(std::unique_ptr<TBackend> backend) {
    if (!backend) backend = std::make_unique<THeadlessBackend>();
    std::swap(backend, ActiveBackend());
    return backend;
}

THeadlessBackend* HeadlessBackend() {
    return dynamic_cast<THeadlessBackend*>(&Backend());
}

THeadlessBackend::THeadlessBackend() = default;

std::unique_ptr<TControlPeer> THeadlessBackend::CreatePeer(TControl& control) {
    return std::make_unique<THeadlessPeer>(*this, control);
}

std::vector<std::string> THeadlessBackend::FontNames() const {
    return {"Arial", "Courier New", "MS Sans Serif", "Tahoma", "Times New Roman", "宋体", "新細明體"};
}

int THeadlessBackend::TextWidth(const TFont& font, std::string_view text) const {
    int h = std::abs(font.Height());
    int w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80)
            w += (h + 1) / 2;
        else if ((b & 0xC0) != 0x80)
            w += h;
    }
    return w;
}

int THeadlessBackend::TextHeight(const TFont& font, std::string_view) const {
    return std::abs(font.Height()) + 2;
}

void THeadlessBackend::Record(TShownRecord record) {
    FLatest[{record.Path, static_cast<int>(record.Aspect)}] = record.Value;
    if (FRecords.size() >= kMaxRecords) // a long run keeps the recent half
        FRecords.erase(FRecords.begin(), FRecords.begin() + static_cast<std::ptrdiff_t>(kMaxRecords / 2));
    FRecords.push_back(std::move(record));
}

std::string THeadlessBackend::Shown(const std::string& path, TPeerAspect aspect) const {
    auto it = FLatest.find({path, static_cast<int>(aspect)});
    return it == FLatest.end() ? std::string() : it->second;
}

bool THeadlessBackend::WasShown(const std::string& path) const {
    for (const auto& r : FRecords)
        if (r.Path == path) return true;
    return false;
}

} // namespace rt
