// Creating, showing and destroying a form of 150 controls made from resources in five levels of visual
// inheritance, headless. Goal: well under 10 ms per form.
#include "ui/Buttons.h"
#include "ui/ExtCtrls.h"
#include "ui/FormResource.h"
#include "ui/Forms.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace rt;

class TfrmBench1 : public TForm {
    KVRT_CLASS(TfrmBench1, TForm)
public:
    explicit TfrmBench1(TComponent* AOwner) : TForm(AOwner) {}
    int Clicks = 0;
    void Clicked(TObject*) { ++Clicks; }
};
class TfrmBench2 : public TfrmBench1 {
    KVRT_CLASS(TfrmBench2, TfrmBench1)
public:
    explicit TfrmBench2(TComponent* AOwner) : TfrmBench1(AOwner) {}
};
class TfrmBench3 : public TfrmBench2 {
    KVRT_CLASS(TfrmBench3, TfrmBench2)
public:
    explicit TfrmBench3(TComponent* AOwner) : TfrmBench2(AOwner) {}
};
class TfrmBench4 : public TfrmBench3 {
    KVRT_CLASS(TfrmBench4, TfrmBench3)
public:
    explicit TfrmBench4(TComponent* AOwner) : TfrmBench3(AOwner) {}
};
class TfrmBench5 : public TfrmBench4 {
    KVRT_CLASS(TfrmBench5, TfrmBench4)
public:
    explicit TfrmBench5(TComponent* AOwner) : TfrmBench4(AOwner) {}
};

KVRT_PUBLISHED(TfrmBench1) {
    P.Method<&TfrmBench1::Clicked>("Clicked");
}
KVRT_PUBLISHED(TfrmBench2) {}
KVRT_PUBLISHED(TfrmBench3) {}
KVRT_PUBLISHED(TfrmBench4) {}
KVRT_PUBLISHED(TfrmBench5) {}

// Thirty controls per level: a panel holding a group of labels, edits, combo boxes, check boxes and
// buttons, and overrides of the previous level's panel.
std::string LevelResource(int level) {
    std::string cls = "TfrmBench" + std::to_string(level);
    std::string form = "frmBench" + std::to_string(level);
    std::string r = (level == 1 ? "object " : "inherited ") + form + ": " + cls + "\n";
    r += "  Caption = 'Level " + std::to_string(level) + " '#20013'文'\n";
    if (level == 1) r += "  Width = 800\n  Height = 600\n  Font.Name = '宋体'\n  Font.Height = -13\n";
    if (level > 1) {
        std::string prev = "pnl" + std::to_string(level - 1);
        r += "  inherited " + prev + ": TPanel\n    Caption = 'overridden'\n";
        r += "    object extra" + std::to_string(level) + ": TLabel\n      Caption = 'added to " + prev +
             "'\n    end\n";
        r += "  end\n";
    }
    std::string pnl = "pnl" + std::to_string(level);
    r += "  object " + pnl + ": TPanel\n    Align = alTop\n    Height = 100\n";
    int made = level > 1 ? 2 : 1; // the panel and the extra label
    for (int i = 0; made < 30; ++i) {
        std::string id = std::to_string(level) + "_" + std::to_string(i);
        const char* kinds[] = {"TLabel", "TEdit", "TComboBox", "TCheckBox", "TButton"};
        std::string kind = kinds[i % 5];
        r += "    object c" + id + ": " + kind + "\n";
        r += "      Left = " + std::to_string(8 + (i % 6) * 120) +
             "\n      Top = " + std::to_string(8 + (i / 6) * 24) + "\n";
        if (kind == "TLabel" || kind == "TCheckBox" || kind == "TButton")
            r += "      Caption = '标签 " + id + "'\n";
        if (kind == "TEdit") r += "      Text = 'text'\n      TabOrder = " + std::to_string(i) + "\n";
        if (kind == "TComboBox") r += "      Items.Strings = (\n        'a'\n        'b')\n";
        if (kind == "TButton") r += "      OnClick = Clicked\n";
        r += "    end\n";
        ++made;
    }
    r += "  end\nend\n";
    return r;
}

void RegisterBenchResources() {
    static const bool done = [] {
        for (int level = 1; level <= 5; ++level)
            RegisterFormResource("TfrmBench" + std::to_string(level), LevelResource(level), "bench.dfm");
        return true;
    }();
    (void)done;
}

void BM_CreateShowDestroyForm(benchmark::State& state) {
    RegisterBenchResources();
    int controls = 0;
    for (auto _ : state) {
        auto* form = New<TfrmBench5>(Application);
        form->Show();
        controls = form->ComponentCount();
        form->Hide();
        form->Free();
    }
    state.counters["components"] = controls;
}
BENCHMARK(BM_CreateShowDestroyForm)->Unit(benchmark::kMillisecond);

void BM_ReadResourcesOnly(benchmark::State& state) {
    RegisterBenchResources();
    for (auto _ : state) {
        auto* form = New<TfrmBench5>(nullptr);
        form->Free();
    }
}
BENCHMARK(BM_ReadResourcesOnly)->Unit(benchmark::kMillisecond);

} // namespace
