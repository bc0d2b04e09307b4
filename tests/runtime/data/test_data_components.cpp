// The socket connection and the client dataset as components: declared in a form resource, published
// properties, the index named in IndexDefs, field types, text hooks and the weak RemoteServer reference.
#include "data/ClientDataSet.h"

#include "automation/Dispatch.h"
#include "data/SocketConnection.h"
#include "data/WireSocket.h"
#include "rtti/PropInfo.h"
#include "ui/FormResource.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace rt;

namespace {

// Answers AS_GetRecords with the scheme rows, out of index order; a column of numbers with a Null first
// and one that is Null throughout. With types set, the answer names the field types as a third element.
class TSchemeProvider : public TAutoObject {
public:
    std::vector<std::u16string> Types;
    TSchemeProvider() {
        AddMethod("AS_GetRecords", [this](std::vector<Variant>& args) {
            if (args.size() != 1 || args[0].AsString() != "pvdConSave")
                throw EOleException("no such provider");
            Variant names = VarArrayOf({Variant(u"NCONDITION"), Variant(u"CREATOR"), Variant(u"PROGRAMME"),
                                        Variant(u"NUM"), Variant(u"NOTE")});
            Variant data = VarArrayCreate({0, 2, 0, 4});
            const char16_t* texts[][3] = {
                {u"b", u"796", u"KTVR08"}, {u"A", u"796", u"KTVR08"}, {u"A", u"123", u"KTVR08"}};
            for (int r = 0; r < 3; ++r) {
                for (int f = 0; f < 3; ++f) data(r, f) = Variant(texts[r][f]);
                data(r, 3) = r == 0 ? Variant::Null() : Variant(r * 10);
                data(r, 4) = Variant::Null();
            }
            if (Types.empty()) return VarArrayOf({names, data});
            std::vector<Variant> types;
            for (const auto& t : Types) types.emplace_back(t);
            return VarArrayOf({names, data, VarArrayOf(types)});
        });
    }
};

class TdmOptions : public TComponent {
    KVRT_CLASS(TdmOptions, TComponent)
public:
    explicit TdmOptions(TComponent* AOwner) : TComponent(AOwner) {}
    TwwClientDataSet* ClientDataSet1 = nullptr;
    TSocketConnection* MainMidas = nullptr;
};
KVRT_PUBLISHED(TdmOptions) {
    P.Field("ClientDataSet1", &TdmOptions::ClientDataSet1);
    P.Field("MainMidas", &TdmOptions::MainMidas);
}

// The dataset comes first, so RemoteServer names a component read after it.
constexpr const char* kOptionsResource = R"(object dmOptions: TdmOptions
  object ClientDataSet1: TwwClientDataSet
    IndexDefs = <
      item
        Name = 'Index1'
        Fields = 'NCONDITION;CREATOR;PROGRAMME'
      end>
    IndexName = 'Index1'
    ProviderName = 'pvdConSave'
    RemoteServer = MainMidas
  end
  object MainMidas: TSocketConnection
    ServerGUID = '{8A3F0C2E-1B7D-4E59-9C60-2D4B7E1A5F93}'
    SupportCallbacks = False
  end
end)";

class DataComponentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dm.reset(New<TdmOptions>(nullptr));
        ReadComponentResource(dm.get(), kOptionsResource, "options.dfm");
        provider = std::make_shared<TSchemeProvider>();
        dm->MainMidas->SetAppServer(Variant(DispatchPtr(provider)));
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> out;
        TClientDataSet* ds = dm->ClientDataSet1;
        for (ds->First(); !ds->Eof(); ds->Next())
            out.push_back(ds->FieldByName("NCONDITION").AsString() + "/" +
                          ds->FieldByName("CREATOR").AsString());
        return out;
    }
    TOwnedPtr<TdmOptions> dm;
    std::shared_ptr<TSchemeProvider> provider;
};

TEST_F(DataComponentsTest, AResourceDeclaresTheConnectionAndTheDataSet) {
    TClientDataSet* ds = dm->ClientDataSet1;
    ASSERT_NE(ds, nullptr);
    ASSERT_NE(dm->MainMidas, nullptr);
    EXPECT_EQ(ds->Owner(), dm.get());
    EXPECT_EQ(ds->RemoteServer(), dm->MainMidas);
    EXPECT_EQ(GetObjectProp(ds, "RemoteServer"), dm->MainMidas);
    EXPECT_EQ(ds->ProviderName(), "pvdConSave");
    ASSERT_EQ(ds->IndexDefs()->Count(), 1);
    EXPECT_EQ(ds->IndexDefs()->Items(0)->Fields(), "NCONDITION;CREATOR;PROGRAMME");
    EXPECT_EQ(GetPropText(ds, "IndexName"), "Index1");
    EXPECT_EQ(GetPropText(dm->MainMidas, "SupportCallbacks"), "False");
    EXPECT_EQ(dm->MainMidas->ServerGUID(), "{8A3F0C2E-1B7D-4E59-9C60-2D4B7E1A5F93}");
    EXPECT_FALSE(ds->Active());

    // Address, port and server name are set at run time, by name as well.
    SetPropText(dm->MainMidas, "Address", "10.0.0.7");
    SetPropText(dm->MainMidas, "Port", "212");
    SetPropText(dm->MainMidas, "ServerName", "Kv.Remote");
    EXPECT_EQ(dm->MainMidas->Address(), "10.0.0.7");
    EXPECT_EQ(dm->MainMidas->Port(), 212);
    EXPECT_EQ(dm->MainMidas->ServerName(), "Kv.Remote");

    SetPropText(ds, "Active", "True"); // through the in-process server attached to the connection
    EXPECT_TRUE(ds->Active());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A/123", "A/796", "b/796"}));
}

TEST_F(DataComponentsTest, IndexNameAndIndexFieldNamesReplaceEachOther) {
    TClientDataSet* ds = dm->ClientDataSet1;
    ds->Open();
    ds->SetIndexFieldNames("NUM");
    EXPECT_EQ(ds->IndexName(), "");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b/796", "A/796", "A/123"})); // Null first
    ds->SetIndexName("index1");
    EXPECT_EQ(ds->IndexFieldNames(), "");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A/123", "A/796", "b/796"}));
    EXPECT_TRUE(ds->FindKey({Variant(u"b")}));
    EXPECT_THROW(ds->SetIndexName("Index2"), EDatabaseError);
    EXPECT_EQ(ds->IndexName(), "index1");

    ds->Close();
    ds->SetIndexName("Index2");
    EXPECT_THROW(ds->Open(), EDatabaseError); // still names a missing index
    EXPECT_FALSE(ds->Active());
}

TEST_F(DataComponentsTest, FreeingTheConnectionClearsRemoteServer) {
    TClientDataSet* ds = dm->ClientDataSet1;
    FreeAndNil(dm->MainMidas);
    EXPECT_EQ(ds->RemoteServer(), nullptr);
    EXPECT_EQ(GetObjectProp(ds, "RemoteServer"), nullptr);
    EXPECT_THROW(ds->Open(), EDatabaseError); // no server any more
}

// A connection that brings its in-process server along, so that a resource can open a dataset.
class TLocalConnection : public TSocketConnection {
    KVRT_CLASS(TLocalConnection, TSocketConnection)
public:
    explicit TLocalConnection(TComponent* AOwner) : TSocketConnection(AOwner) {
        SetAppServer(Variant(DispatchPtr(std::make_shared<TSchemeProvider>())));
    }
};
KVRT_PUBLISHED(TLocalConnection) {}

TEST(DataComponentResource, ActiveTakesEffectOnceTheReferencesAreResolved) {
    TOwnedPtr<TdmOptions> dm(New<TdmOptions>(nullptr));
    ReadComponentResource(dm.get(), R"(object dmOptions: TdmOptions
  object ClientDataSet1: TwwClientDataSet
    Active = True
    IndexFieldNames = 'CREATOR;NCONDITION'
    ProviderName = 'pvdConSave'
    RemoteServer = Local
  end
  object Local: TLocalConnection
  end
end)",
                          "active.dfm");
    TClientDataSet* ds = dm->ClientDataSet1;
    ASSERT_TRUE(ds->Active());
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(ds->FieldByName("CREATOR").AsString(), "123");
}

// Connected read before ServerName still connects with every property read: the attempt reaches the
// (closed) port instead of failing for want of a server name.
TEST(DataComponentResource, ConnectedTakesEffectOnceEveryPropertyIsRead) {
    std::string error;
    const int fd = wire::ListenTcp("127.0.0.1", 0, 1, error);
    ASSERT_GE(fd, 0) << error;
    const int port = wire::LocalPort(fd);
    ::close(fd); // nothing listens there any more: the connection is refused at once
    TOwnedPtr<TdmOptions> dm(New<TdmOptions>(nullptr));
    const std::string text = "object dmOptions: TdmOptions\n  object MainMidas: TSocketConnection\n"
                             "    Connected = True\n    Address = '127.0.0.1'\n    Port = " +
                             std::to_string(port) + "\n    ServerName = 'Kv.Remote'\n  end\nend";
    try {
        ReadComponentResource(dm.get(), text, "connect.dfm");
        FAIL() << "the closed port was reached";
    } catch (const ESocketConnectionError& e) {
        EXPECT_NE(e.Message().find("Cannot connect"), std::string::npos) << e.Message();
    }
    ASSERT_NE(dm->MainMidas, nullptr);
    EXPECT_EQ(dm->MainMidas->ServerName(), "Kv.Remote");
    EXPECT_FALSE(dm->MainMidas->Connected());
}

TEST(DataComponentClasses, TheRegistryCreatesThem) {
    TOwnedPtr<TComponent> owner(New<TComponent>(nullptr));
    EXPECT_TRUE(FindClass("TwwClientDataSet")->InheritsFrom(TClientDataSet::ClassInfo()));
    for (const char* name : {"TSocketConnection", "TClientDataSet", "TwwClientDataSet"}) {
        TComponent* c = CreateComponentByClassName(name, owner.get());
        EXPECT_EQ(c->ClassName(), name);
        EXPECT_EQ(c->Owner(), owner.get());
    }
}

// Field types come from the first value that is not Null, or from the provider's answer.
TEST_F(DataComponentsTest, FieldTypesAndLabels) {
    struct Case {
        std::vector<std::u16string> types;
        std::vector<TFieldType> expected;
    } cases[] = {
        {{}, {ftWideString, ftWideString, ftWideString, ftInteger, ftUnknown}},
        {{u"String", u"ftWideString", u"memo", u"Float", u"ftBoolean"},
         {ftString, ftWideString, ftMemo, ftFloat, ftBoolean}},
    };
    TClientDataSet* ds = dm->ClientDataSet1;
    for (const Case& c : cases) {
        provider->Types = c.types;
        ds->Open();
        ASSERT_EQ(ds->FieldCount(), 5);
        for (int i = 0; i < ds->FieldCount(); ++i)
            EXPECT_EQ(ds->Fields(i).DataType(), c.expected[static_cast<size_t>(i)])
                << ds->Fields(i).FieldName();
        ds->Close();
    }
    provider->Types = {u"String", u"Text?", u"String", u"String", u"String"};
    EXPECT_THROW(ds->Open(), EDatabaseError);

    provider->Types.clear();
    ds->Open();
    TField& f = ds->FieldByName("CREATOR");
    EXPECT_EQ(f.DisplayLabel(), "CREATOR");
    SetPropText(&f, "DisplayLabel", "Creator");
    EXPECT_EQ(f.DisplayLabel(), "Creator");
    f.SetDisplayLabel("");
    EXPECT_EQ(f.DisplayLabel(), "CREATOR");
}

class TTextHooks : public TObject {
    KVRT_CLASS(TTextHooks, TObject)
public:
    std::vector<std::string> Log;
    void GetText(TField* sender, std::string& text, bool displayText) {
        text = (displayText ? "<" : "[") + sender->AsString() + (displayText ? ">" : "]");
    }
    void SetText(TField* sender, const std::string& text) {
        Log.push_back(sender->FieldName() + "=" + text);
        sender->SetAsString(text + "!");
    }
};
KVRT_PUBLISHED(TTextHooks) {
    P.Method<&TTextHooks::GetText>("GetText");
    P.Method<&TTextHooks::SetText>("SetText");
}

TEST_F(DataComponentsTest, TextGoesThroughTheFieldsHandlers) {
    TClientDataSet* ds = dm->ClientDataSet1;
    ds->Open(); // first record: A/123
    TField& creator = ds->FieldByName("CREATOR");
    TField& num = ds->FieldByName("NUM");
    EXPECT_EQ(creator.Text(), "123");
    EXPECT_EQ(creator.DisplayText(), "123");

    TTextHooks hooks;
    creator.OnGetText = Handler<&TTextHooks::GetText>(&hooks);
    SetMethodProp(&creator, "OnSetText", TFieldSetTextEvent(Handler<&TTextHooks::SetText>(&hooks)).Method());
    EXPECT_EQ(creator.Text(), "[123]");
    EXPECT_EQ(creator.DisplayText(), "<123>");

    ds->Edit();
    creator.SetText("5");
    num.SetText("42"); // no handler: converted to the field's type
    EXPECT_EQ(hooks.Log, (std::vector<std::string>{"CREATOR=5"}));
    EXPECT_EQ(creator.AsString(), "5!");
    EXPECT_EQ(num.Value().VarType(), varInteger);
    EXPECT_EQ(num.AsInteger(), 42);
    EXPECT_THROW(num.SetText("4x"), EConvertError);
    num.SetText("");
    EXPECT_TRUE(num.IsNull());
    ds->Cancel();
}

TEST(ClientDataSetIndexDefs, AssigningCopiesNamesAndFields) {
    TClientDataSet from, to;
    TIndexDef* def = from.IndexDefs()->Add();
    def->SetName("Index1");
    def->SetFields("NCONDITION;CREATOR");
    to.IndexDefs()->Add()->SetName("Old");
    SetObjectProp(&to, "IndexDefs", from.IndexDefs());
    ASSERT_EQ(to.IndexDefs()->Count(), 1);
    EXPECT_EQ(to.IndexDefs()->Find("INDEX1"), to.IndexDefs()->Items(0));
    EXPECT_EQ(to.IndexDefs()->Items(0)->Fields(), "NCONDITION;CREATOR");
    EXPECT_NE(to.IndexDefs()->Items(0), def);
}

TEST(ClientDataSetControls, DisableAndEnableNest) {
    TClientDataSet ds;
    EXPECT_FALSE(ds.ControlsDisabled());
    ds.DisableControls();
    ds.DisableControls();
    ds.EnableControls();
    EXPECT_TRUE(ds.ControlsDisabled());
    ds.EnableControls();
    EXPECT_FALSE(ds.ControlsDisabled());
    ds.EnableControls(); // one too many stays at zero
    ds.DisableControls();
    EXPECT_TRUE(ds.ControlsDisabled());
}

} // namespace
