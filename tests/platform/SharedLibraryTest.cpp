#include <gtest/gtest.h>

#include <cstdio>

#include "platform/SharedLibrary.h"

// Loading real libraries: the fixture library built beside this test, a missing one, a text file.
namespace tarn {
namespace {

TEST(SharedLibrary, FindsAndCallsAnExportedFunction) {
    std::string error;
    std::unique_ptr<SharedLibrary> library = SharedLibrary::open(FIXTURE_LIBRARY, error);
    ASSERT_TRUE(library) << error;
    void* symbol = library->symbol("notAnEntryPoint");
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(reinterpret_cast<int (*)()>(symbol)(), 42);
    EXPECT_EQ(library->symbol("VSTPluginMain"), nullptr);
    EXPECT_EQ(library->symbol(""), nullptr);
}

TEST(SharedLibrary, LibrariesThatCannotBeLoadedGiveOneLineReasons) {
    const std::string notALibrary = ::testing::TempDir() + "shared_library_text.dll";
    FILE* file = std::fopen(notALibrary.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("not a library\n", file);
    std::fclose(file);
    for (const std::string& path : {::testing::TempDir() + "no_such_library.dll", notALibrary}) {
        std::string error;
        EXPECT_FALSE(SharedLibrary::open(path, error)) << path;
        EXPECT_FALSE(error.empty()) << path;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

} // namespace
} // namespace tarn
