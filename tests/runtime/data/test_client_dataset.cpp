#include "data/ClientDataSet.h"

#include "automation/Dispatch.h"
#include "data/SocketConnection.h"

#include <gtest/gtest.h>

using namespace rt;

namespace {

// A provider answering AS_GetRecords with fixed scheme rows, in an order the index must change.
class TFakeProvider : public TAutoObject {
public:
    int Calls = 0;
    TFakeProvider() {
        AddMethod("AS_GetRecords", [this](std::vector<Variant>& args) {
            ++Calls;
            if (args.size() != 1 || args[0].AsString() != "pvdConSave")
                throw EOleException("no such provider");
            Variant names = VarArrayOf({Variant(u"NCONDITION"), Variant(u"CREATOR"), Variant(u"PROGRAMME"),
                                        Variant(u"CREATE_DATE")});
            const char16_t* rows[][4] = {{u"月报", u"796", u"KTVR08", u"20261201"},
                                         {u"A方案", u"796", u"KTVR08", u"20261105"},
                                         {u"A方案", u"123", u"KTVR08", u"20261102"},
                                         {u"b", u"796", u"KTVR08", u"20261003"}};
            Variant data = VarArrayCreate({1, 4, 0, 3});
            for (int r = 0; r < 4; ++r)
                for (int f = 0; f < 4; ++f) data(r + 1, f) = Variant(rows[r][f]);
            return VarArrayOf({names, data});
        });
    }
};

class ClientDataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        provider = std::make_shared<TFakeProvider>();
        ds.SetAppServer(Variant(DispatchPtr(provider)));
        ds.SetProviderName("pvdConSave");
        ds.SetIndexFieldNames("NCONDITION;CREATOR;PROGRAMME");
        ds.Open();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> out;
        for (ds.First(); !ds.Eof(); ds.Next())
            out.push_back(ds.FieldByName("ncondition").AsString() + "/" +
                          ds.FieldByName("CREATOR").AsString());
        return out;
    }
    std::shared_ptr<TFakeProvider> provider;
    TClientDataSet ds;
};

TEST_F(ClientDataSetTest, RowsFollowTheIndexAndTheCursorRules) {
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_TRUE(ds.Bof());
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A方案/123", "A方案/796", "b/796", "月报/796"}));
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 4); // Eof stays on the last record
    ds.Prior();
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 3);

    ds.SetIndexFieldNames(""); // the provider's order, cursor kept on its record
    EXPECT_EQ(ds.FieldByName("NCONDITION").AsString(), "b");
    EXPECT_EQ(Names(), (std::vector<std::string>{"月报/796", "A方案/796", "A方案/123", "b/796"}));
}

TEST_F(ClientDataSetTest, KeySearchFindsExactKeysOnly) {
    EXPECT_TRUE(ds.FindKey({Variant(u"A方案"), Variant("796"), Variant("KTVR08")}));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.FieldByName("CREATE_DATE").AsString(), "20261105");
    EXPECT_TRUE(ds.FindKey({Variant("b")})); // a partial key: the leading index fields
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_FALSE(ds.FindKey({Variant("B"), Variant("796"), Variant("KTVR08")}));
    EXPECT_FALSE(ds.FindKey({Variant("A方案 "), Variant("796"), Variant("KTVR08")}));
    EXPECT_EQ(ds.RecNo(), 3); // a failed search leaves the cursor

    EXPECT_TRUE(
        ds.Locate("NCONDITION;CREATOR", VarArrayOf({Variant("B"), Variant("796")}), loCaseInsensitive));
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_TRUE(ds.Locate("NCONDITION", Variant("月"), loPartialKey));
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_FALSE(ds.Locate("NCONDITION", Variant("月"), 0));
}

TEST_F(ClientDataSetTest, EditPostAndCancelChangeOnlyLocalRows) {
    ASSERT_TRUE(ds.FindKey({Variant(u"月报"), Variant("796"), Variant("KTVR08")}));
    EXPECT_THROW(ds.FieldByName("NCONDITION").SetAsString("x"), EDatabaseError);

    ds.Edit();
    ds.FieldByName("NCONDITION").SetAsString("周报");
    EXPECT_EQ(ds.FieldByName("NCONDITION").AsString(), "周报");
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("NCONDITION").AsString(), "月报");

    ds.Edit();
    ds.FieldByName("NCONDITION").SetAsString("0方案");
    ds.Post();
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.RecNo(), 1); // the index moved the record; the cursor followed it
    EXPECT_TRUE(ds.FindKey({Variant("0方案"), Variant("796"), Variant("KTVR08")}));
    EXPECT_FALSE(ds.FindKey({Variant(u"月报")}));

    ds.Edit();
    ds.FieldByName("NCONDITION").SetValue(Variant("zz"));
    ds.Next(); // moving posts
    EXPECT_TRUE(ds.FindKey({Variant("zz")}));
    EXPECT_EQ(provider->Calls, 1); // nothing went back to the server

    ds.Close();
    ds.Open(); // reopening fetches the server's rows again
    EXPECT_TRUE(ds.FindKey({Variant(u"月报")}));
}

TEST(ClientDataSet, MisuseRaisesDatabaseErrors) {
    TClientDataSet ds;
    ds.SetProviderName("pvdConSave");
    EXPECT_THROW(ds.Open(), EDatabaseError); // no server
    EXPECT_THROW(ds.First(), EDatabaseError);
    EXPECT_EQ(ds.RecordCount(), 0);

    TSocketConnection closed;
    closed.SetServerName("");
    ds.SetRemoteServer(&closed);
    EXPECT_THROW(ds.Open(), ESocketConnectionError); // no server name to connect to

    ds.SetAppServer(Variant(DispatchPtr(std::make_shared<TFakeProvider>())));
    ds.SetProviderName("other");
    EXPECT_THROW(ds.Open(), EOleException);
    ds.SetProviderName("pvdConSave");
    ds.Open();
    EXPECT_THROW(ds.FieldByName("MISSING"), EDatabaseError);
    EXPECT_EQ(ds.FindField("missing"), nullptr);
    EXPECT_THROW(ds.FindKey({Variant("x")}), EDatabaseError); // no index
    EXPECT_THROW(ds.SetIndexFieldNames("NOPE"), EDatabaseError);
}

TEST(ClientDataSet, AnEmptyRecordSetHasNoCurrentRecord) {
    class TEmpty : public TAutoObject {
    public:
        TEmpty() {
            AddMethod("AS_GetRecords", [](std::vector<Variant>&) {
                return VarArrayOf({VarArrayOf({Variant(u"A")}), VarArrayCreate({0, -1, 0, 0})});
            });
        }
    };
    TClientDataSet ds;
    ds.SetAppServer(Variant(DispatchPtr(std::make_shared<TEmpty>())));
    ds.SetProviderName("p");
    ds.Open();
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), -1);
    EXPECT_TRUE(ds.FieldByName("A").IsNull());
    EXPECT_EQ(ds.FieldByName("A").AsString(), "");
    EXPECT_THROW(ds.Edit(), EDatabaseError);
}

} // namespace
