// Method pointers: saved, replaced, chained and restored as the forms do with their controls' events.
#include "core/Classes.h"
#include "rtti/Publish.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

KVRT_EVENT(TCountEvent, void(TObject* Sender, int& Count))

class TButtonStub : public TObject {
    KVRT_CLASS(TButtonStub, TObject)
public:
    TNotifyEvent OnExit;
    TCountEvent OnCount;
};
KVRT_PUBLISHED(TButtonStub) {
    P.Property("OnExit", &TButtonStub::OnExit, &TButtonStub::OnExit);
    P.Property("OnCount", &TButtonStub::OnCount, &TButtonStub::OnCount);
}

class TFormStub : public TObject {
    KVRT_CLASS(TFormStub, TObject)
public:
    std::string Log;
    TNotifyEvent Saved;
    void OwnExit(TObject*) { Log += "own;"; }
    void HookExit(TObject* sender) {
        Log += "hook;";
        Saved(sender); // chain to the handler that was there before
    }
    void AddTwo(TObject*, int& n) { n += 2; }
};
KVRT_PUBLISHED(TFormStub) {}

TEST(MethodPointers, SaveReplaceChainRestore) {
    TFormStub form;
    TButtonStub button;
    button.OnExit = Handler<&TFormStub::OwnExit>(&form);
    const TMethod original = button.OnExit.Method();

    form.Saved = button.OnExit;
    button.OnExit = Handler<&TFormStub::HookExit>(&form);
    EXPECT_FALSE(button.OnExit == form.Saved);
    button.OnExit(&button);
    EXPECT_EQ(form.Log, "hook;own;");

    button.OnExit = form.Saved;
    EXPECT_EQ(button.OnExit.Method(), original);
    form.Log.clear();
    button.OnExit(&button);
    EXPECT_EQ(form.Log, "own;");
}

TEST(MethodPointers, TravelAsTwoPlainPointersAndThroughTheProperties) {
    TFormStub form;
    TButtonStub button;
    button.OnCount = Handler<&TFormStub::AddTwo>(&form);

    // Kept as two untyped pointers in a string list's attached objects, then put back by name.
    TStringList saved;
    TMethod m = GetMethodProp(&button, "OnCount");
    saved.AddObject("btn.OnCount.Code", m.Code);
    saved.AddObject("btn.OnCount.Data", m.Data);
    void* code = saved.Objects(saved.IndexOf("btn.OnCount.Code"));
    void* data = saved.Objects(saved.IndexOf("btn.OnCount.Data"));
    SetMethodProp(&button, "OnCount", TMethod{});
    EXPECT_FALSE(button.OnCount.Assigned());
    int n = 1;
    button.OnCount(&button, n); // unassigned: nothing happens
    EXPECT_EQ(n, 1);

    SetMethodProp(&button, "OnCount", TMethod{code, data});
    button.OnCount(&button, n);
    EXPECT_EQ(n, 3);
    EXPECT_TRUE(button.OnCount == TCountEvent(Handler<&TFormStub::AddTwo>(&form)));

    TFormStub other;
    EXPECT_FALSE(button.OnCount == TCountEvent(Handler<&TFormStub::AddTwo>(&other)));
    button.OnCount = nullptr;
    EXPECT_FALSE(button.OnCount);
}

} // namespace
} // namespace rt
