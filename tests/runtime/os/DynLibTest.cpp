#include "os/DynLib.h"

#include "runtime/os/OsTestSupport.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace rt {
namespace {

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int LocalFunction() {
    return 1;
}

TEST(DynLib, MissingLibraryFailsWithTheLoadersReason) {
    EXPECT_EQ(LoadLibrary("/nonexistent/Qvlanguage.so"), nullptr);
    EXPECT_NE(LastLibraryError().find("/nonexistent/Qvlanguage.so"), std::string::npos) << LastLibraryError();
    EXPECT_EQ(LoadLibrary(""), nullptr); // never the program itself
    EXPECT_FALSE(LastLibraryError().empty());
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(GetProcAddress(nullptr, "strlen"), nullptr);
}

TEST(DynLib, ExportsAreFoundByNameAndMissingOnesReported) {
    HMODULE libc = LoadLibrary("libc.so.6");
    ASSERT_NE(libc, nullptr) << LastLibraryError();
    auto length = GetProcAddressAs<size_t (*)(const char*)>(libc, "strlen");
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length("abc"), 3u);
    EXPECT_EQ(GetProcAddress(libc, "NoSuchExport"), nullptr);
    EXPECT_NE(LastLibraryError().find("NoSuchExport"), std::string::npos) << LastLibraryError();
    EXPECT_TRUE(EndsWith(GetModuleFileName(libc), "/libc.so.6")) << GetModuleFileName(libc);
    EXPECT_TRUE(FreeLibrary(libc));
}

TEST(DynLib, CodeFindsTheFileItWasLoadedFrom) {
    std::string program = std::filesystem::canonical("/proc/self/exe").string();
    EXPECT_EQ(GetModuleFileName(nullptr), program);
    EXPECT_EQ(ModuleFileNameOf(reinterpret_cast<const void*>(&LocalFunction)), program);
    std::string runtime = ModuleFileNameOf(reinterpret_cast<const void*>(&LoadLibrary));
    EXPECT_TRUE(EndsWith(runtime, "/libkvrt.so")) << runtime;
    EXPECT_EQ(runtime.front(), '/');
    EXPECT_EQ(ModuleFileNameOf(nullptr), "");
}

} // namespace
} // namespace rt
