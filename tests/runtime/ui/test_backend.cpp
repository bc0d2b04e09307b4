// The headless backend: peers are made when a window is first needed, fed the model's state, and told
// about later changes; nothing is pushed to a control without a peer.
#include "backend/HeadlessBackend.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

TEST(HeadlessBackend, PeersAreCreatedLazilyAndFedTheCachedState) {
    THeadlessBackend* backend = HeadlessBackend();
    ASSERT_NE(backend, nullptr);
    EXPECT_EQ(Screen->Width(), 1024);
    EXPECT_EQ(Screen->Height(), 768);

    TOwnedPtr<TForm> form(New<TForm>(nullptr));
    form->SetName("frmPeer");
    auto* edit = new TEdit(form.get());
    edit->SetName("edName");
    edit->SetParent(form.get());
    edit->SetText("before");
    EXPECT_EQ(edit->Peer(), nullptr);
    EXPECT_FALSE(edit->HandleAllocated());
    backend->ClearRecords();
    edit->SetText("still no peer");
    EXPECT_TRUE(backend->Records().empty());

    int peers = backend->PeerCount();
    form->Show(); // the handles, and with them the peers, are needed now
    EXPECT_NE(edit->Peer(), nullptr);
    EXPECT_GT(backend->PeerCount(), peers);
    EXPECT_EQ(backend->Shown("frmPeer/edName", paText), "still no peer");
    EXPECT_EQ(backend->Shown("frmPeer", paVisible), "True");

    edit->SetText("after");
    EXPECT_EQ(backend->Shown("frmPeer/edName", paText), "after");
    const TShownRecord& last = backend->Records().back();
    EXPECT_EQ(last.ClassName, "TEdit");
    EXPECT_EQ(last.Aspect, paText);
    edit->SetEnabled(false);
    EXPECT_EQ(backend->Shown("frmPeer/edName", paEnabled), "False");

    // A control added to a shown form gets its peer at once.
    auto* late = new TLabel(form.get());
    late->SetName("lblLate");
    late->SetParent(form.get());
    EXPECT_NE(late->Peer(), nullptr);
    form.reset();
    EXPECT_EQ(backend->PeerCount(), peers);
}

} // namespace
} // namespace rt
