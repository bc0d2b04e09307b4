#include "data/WireCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rt;
using rt::wire::EWireError;

namespace {

Variant TwoDimensional() {
    Variant a = VarArrayCreate({-2, 1, 3, 5});
    for (int i = -2; i <= 1; ++i)
        for (int j = 3; j <= 5; ++j) a(i, j) = Variant(i * 10 + j);
    a(0, 4) = VarArrayOf({Variant(u"嵌套"), Variant::Null(), VarArrayOf({})});
    return a;
}

struct RoundTripCase {
    const char* name;
    Variant value;
};

class WireRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(WireRoundTrip, DecodesToAnIdenticalVariant) {
    const Variant& v = GetParam().value;
    const Variant back = wire::DecodeVariant(wire::EncodeVariant(v));
    EXPECT_TRUE(back.Identical(v)) << wire::EncodeVariant(v);
    EXPECT_EQ(back.VarType(), v.VarType());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WireRoundTrip,
    ::testing::Values(RoundTripCase{"empty", Variant()}, RoundTripCase{"null", Variant::Null()},
                      RoundTripCase{"smallint", Variant(short{-32768})},
                      RoundTripCase{"integer", Variant(std::numeric_limits<int>::min())},
                      RoundTripCase{"int64", Variant(std::numeric_limits<long long>::max())},
                      RoundTripCase{"byte", Variant(static_cast<unsigned char>(255))},
                      RoundTripCase{"longword", Variant(4294967295u)}, RoundTripCase{"double", Variant(0.1)},
                      RoundTripCase{"tinyDouble", Variant(std::numeric_limits<double>::denorm_min())},
                      RoundTripCase{"hugeDouble", Variant(-1.7976931348623157e308)},
                      RoundTripCase{"infinity", Variant(std::numeric_limits<double>::infinity())},
                      RoundTripCase{"nan", Variant(std::numeric_limits<double>::quiet_NaN())},
                      RoundTripCase{"currency", Variant::Currency(-922337203685477580LL)},
                      RoundTripCase{"date", Variant(TDateTime(46365.123456789))},
                      RoundTripCase{"true", Variant(true)}, RoundTripCase{"false", Variant(false)},
                      RoundTripCase{"text", Variant("入库单 \"A\"\t\\")},
                      RoundTripCase{"emptyText", Variant("")},
                      RoundTripCase{"gbBytes", Variant(std::string("\xC8\xEB\xBF\xE2\xff\x00z", 7))},
                      RoundTripCase{"wide", Variant(u"條件方案 😀")},
                      RoundTripCase{"loneSurrogate", Variant(std::u16string(u"a\xD800"
                                                                            u"b"))},
                      RoundTripCase{"emptyArray", VarArrayCreate({0, -1})},
                      RoundTripCase{"typedArray", VarArrayCreate({1, 3}, varInteger)},
                      RoundTripCase{"doubleArray", VarArrayCreate({0, 1}, varDouble)},
                      RoundTripCase{"twoDimensional", TwoDimensional()},
                      RoundTripCase{"nested",
                                    VarArrayOf({VarArrayOf({VarArrayOf({Variant(1)})}), Variant(u"x")})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WireCodec, DispatchValuesCannotTravelAnywhereInAValue) {
    class Dummy : public TAutoObject {};
    const Variant object(DispatchPtr(std::make_shared<Dummy>()));
    EXPECT_THROW(wire::EncodeVariant(object), EWireError);
    EXPECT_THROW(wire::EncodeVariant(VarArrayOf({Variant(1), VarArrayOf({object})})), EWireError);
}

TEST(WireCodec, MalformedVariantsRaiseOnlyWireErrors) {
    const char* cases[] = {
        "",
        "{",
        "[]",
        "null",
        R"({"v":1})",
        R"({"t":"i9","v":1})",
        R"({"t":"i2","v":40000})",
        R"({"t":"u1","v":-1})",
        R"({"t":"i4","v":1.5})",
        R"({"t":"i8","v":18446744073709551615})",
        R"({"t":"bool","v":1})",
        R"({"t":"str","b":"@@@="})",
        R"({"t":"str","b":"QQ"})",
        R"({"t":"wstr","u":[65536]})",
        R"({"t":"r8","v":"Inf"})",
        R"({"t":"array","et":"variant","b":[[0,1]],"v":[]})",
        R"({"t":"array","et":"variant","b":[[0,2000000000],[0,2000000000]],"v":[]})",
        R"({"t":"array","et":"variant","b":[[5,3]],"v":[]})",
        R"({"t":"array","et":"variant","b":[],"v":[]})",
        R"({"t":"array","et":"empty","b":[[0,0]],"v":[{"t":"empty"}]})",
        R"({"t":"array","et":"i4","b":[[0,0]],"v":[{"t":"str","v":"abc"}]})",
        R"({"t":"array","et":"variant","b":[[0,0]],"v":[7]})",
    };
    for (const char* text : cases) {
        try {
            wire::DecodeVariant(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const EWireError&) {
        } catch (const std::exception& e) {
            ADD_FAILURE() << "wrong exception for " << text << ": " << e.what();
        }
    }
}

TEST(WireCodec, NestingDepthIsBounded) {
    std::string deep;
    for (int i = 0; i < 200; ++i) deep += R"({"t":"array","et":"variant","b":[[0,0]],"v":[)";
    deep += R"({"t":"empty"})";
    for (int i = 0; i < 200; ++i) deep += "]}";
    EXPECT_THROW(wire::DecodeVariant(deep), EWireError);
}

TEST(WireMessages, RequestAndAnswerRoundTripWithByReferenceArguments) {
    wire::CallRequest r;
    r.IdJson = "17";
    r.Method = "Request";
    r.Kind = DispatchKind::PropertyGet;
    r.Args = {VarArrayOf({Variant(u"a"), Variant(2)}), Variant::Null()};
    const wire::CallRequest back = wire::DecodeRequest(wire::EncodeRequest(r));
    EXPECT_EQ(back.IdJson, "17");
    EXPECT_EQ(back.Method, "Request");
    EXPECT_EQ(back.Kind, DispatchKind::PropertyGet);
    ASSERT_EQ(back.Args.size(), 2u);
    EXPECT_TRUE(back.Args[0].Identical(r.Args[0]));

    wire::CallResponse a;
    a.IdJson = "17";
    a.Value = Variant(u"20261211000001");
    std::vector<Variant> after = r.Args;
    after[1] = Variant(42);
    a.ByRef = wire::ChangedArguments(r.Args, after);
    const wire::CallResponse answer = wire::DecodeResponse(wire::EncodeResponse(a));
    ASSERT_TRUE(answer.Ok);
    EXPECT_TRUE(answer.Value.Identical(a.Value));
    ASSERT_EQ(answer.ByRef.size(), 1u);
    EXPECT_EQ(answer.ByRef[0].first, 1u);
    EXPECT_TRUE(answer.ByRef[0].second.Identical(Variant(42)));
}

TEST(WireMessages, ErrorsCarryCodeMessageAndClass) {
    const wire::CallResponse e = wire::DecodeResponse(
        wire::EncodeError("\"x\"", wire::errApplication, "条件方案不存在", "EOleException"));
    EXPECT_FALSE(e.Ok);
    EXPECT_EQ(e.IdJson, "\"x\"");
    EXPECT_EQ(e.ErrorCode, wire::errApplication);
    EXPECT_EQ(e.ErrorMessage, "条件方案不存在");
    EXPECT_EQ(e.ErrorClass, "EOleException");
}

TEST(WireMessages, BadRequestsGiveTheirCodeAndKeepTheId) {
    struct Case {
        const char* text;
        int code;
        const char* id;
    };
    const Case cases[] = {
        {"not json", wire::errParse, "null"},
        {R"([{"jsonrpc":"2.0","id":1,"method":"x"}])", wire::errInvalidRequest, "null"},
        {R"({"jsonrpc":"1.0","id":3,"method":"x"})", wire::errInvalidRequest, "3"},
        {R"({"jsonrpc":"2.0","id":4,"method":""})", wire::errInvalidRequest, "4"},
        {R"({"jsonrpc":"2.0","id":{"a":1},"method":"x"})", wire::errInvalidRequest, "null"},
        {R"({"jsonrpc":"2.0","id":5,"method":"x","params":[1]})", wire::errInvalidParams, "5"},
        {R"({"jsonrpc":"2.0","id":6,"method":"x","params":{"kind":"poke"}})", wire::errInvalidParams, "6"},
        {R"({"jsonrpc":"2.0","id":7,"method":"x","params":{"args":[{"t":"i4","v":"1"}]}})",
         wire::errInvalidParams, "7"},
    };
    for (const auto& c : cases) {
        try {
            wire::DecodeRequest(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const EWireError& e) {
            EXPECT_EQ(e.Code(), c.code) << c.text;
            EXPECT_EQ(e.IdJson(), c.id) << c.text;
        }
    }
}

} // namespace
