#include "tests/capture/TestSupport.h"

#include "rtl/FileUtils.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace capture_test;

namespace {

struct PathCase {
    const char* name;
    const char* fileName;
    const char* expected;
};

class ExtractFilePathCase : public ::testing::TestWithParam<PathCase> {};

TEST_P(ExtractFilePathCase, KeepsTheFolderWithItsSeparator) {
    EXPECT_EQ(std::string(ExtractFilePath(GetParam().fileName).c_str()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    FileUtils, ExtractFilePathCase,
    ::testing::Values(PathCase{"Program", "/opt/quibra/bin/quibra", "/opt/quibra/bin/"},
                      PathCase{"AtRoot", "/quibra", "/"},
                      PathCase{"FolderOnly", "/opt/quibra/", "/opt/quibra/"},
                      PathCase{"NoFolder", "quibra", ""},
                      PathCase{"Relative", "build/app/quibra", "build/app/"},
                      PathCase{"Empty", "", ""}, PathCase{"DotInFolder", "/a.b/c", "/a.b/"},
                      PathCase{"Windows1251Bytes", "/\xF1\xED\xE8\xEC\xEA\xE8/x.jpg",
                               "/\xF1\xED\xE8\xEC\xEA\xE8/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileUtils, DirectoryExists) {
    ScratchDir dir;
    writeFile(dir.file("screenshot"), "a file");
    ASSERT_EQ(::mkdir(dir.file("shots").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(dir.file("shots").c_str(), dir.file("link").c_str()), 0);

    EXPECT_TRUE(DirectoryExists(dir.path().c_str()));
    EXPECT_TRUE(DirectoryExists((dir.path() + "/").c_str()));
    EXPECT_TRUE(DirectoryExists(dir.file("shots").c_str()));
    EXPECT_TRUE(DirectoryExists(dir.file("shots/").c_str()));
    EXPECT_TRUE(DirectoryExists(dir.file("link").c_str()));
    EXPECT_FALSE(DirectoryExists(dir.file("screenshot").c_str()));
    EXPECT_FALSE(DirectoryExists(dir.file("screenshot/").c_str()));
    EXPECT_FALSE(DirectoryExists(dir.file("missing").c_str()));
    EXPECT_FALSE(DirectoryExists(""));
}

TEST(FileUtils, CreateDirMakesTheLastFolderOnly) {
    ScratchDir dir;
    EXPECT_TRUE(CreateDir(dir.file("screenshot/").c_str()));
    EXPECT_TRUE(DirectoryExists(dir.file("screenshot").c_str()));
    EXPECT_FALSE(CreateDir(dir.file("screenshot/").c_str())) << "already there";
    EXPECT_FALSE(CreateDir(dir.file("a/b/").c_str())) << "parent missing";
    EXPECT_FALSE(DirectoryExists(dir.file("a").c_str()));
    writeFile(dir.file("plain"), "x");
    EXPECT_FALSE(CreateDir(dir.file("plain").c_str()));
    EXPECT_FALSE(CreateDir(""));
}

TEST(FileUtils, CreateDirHonoursTheUmask) {
    ScratchDir dir;
    const mode_t old = ::umask(027);
    EXPECT_TRUE(CreateDir(dir.file("shots").c_str()));
    ::umask(old);
    struct stat st;
    ASSERT_EQ(::stat(dir.file("shots").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0750u);
}

TEST(FileUtils, ErrorsCarryTheFileName) {
    const EFCreateError create("/x/screenshot/picture1.jpg");
    const EWriteError write("/x/screenshot/photo2.jpg");
    const Exception& asCreate = create;
    const Exception& asWrite = write;
    EXPECT_STREQ(asCreate.what(), "Cannot create file /x/screenshot/picture1.jpg");
    EXPECT_STREQ(asWrite.Message().c_str(), "Error writing file /x/screenshot/photo2.jpg");
    EXPECT_EQ(dynamic_cast<const EWriteError*>(&asCreate), nullptr);
}

} // namespace
