// The file functions and the tarvis-implode tool, on files in a scratch folder.
#include "transfer/PklibFiles.h"
#include "tests/transfer/PklibSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarvis::test {
namespace {

namespace fs = std::filesystem;

class PklibFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarvis-implode-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    static void put(const std::string& p, const Bytes& data) {
        std::ofstream f(p, std::ios::binary);
        f.write(reinterpret_cast<const char*>(data.data()),
                static_cast<std::streamsize>(data.size()));
    }
    static Bytes get(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    }

    struct Run {
        int status = -1;
        std::string errors;
    };
    Run tool(const std::string& args) const {
        const std::string errFile = path("stderr.txt");
        const std::string command = std::string(TARVIS_IMPLODE_TOOL) + " " + args + " 2>" + errFile;
        Run r;
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        const Bytes e = get(errFile);
        r.errors.assign(e.begin(), e.end());
        return r;
    }

    fs::path dir_;
};

TEST_F(PklibFiles, ToolRoundTripMatchesTheCodec) {
    const Bytes input = prose(50000, 5);
    put(path("in.txt"), input);
    Run r = tool("compress " + path("in.txt") + " " + path("in.__$"));
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(get(path("in.__$")), compressBytes(input).data);
    r = tool("decompress " + path("in.__$") + " " + path("out.txt"));
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(get(path("out.txt")), input);
}

TEST_F(PklibFiles, PartialTransferKeepsWhatDecodes) {
    const Bytes input = prose(40000, 6);
    const Bytes stream = compressBytes(input).data;
    put(path("part.__$"), Bytes(stream.begin(), stream.begin() + 6000));
    const Run r = tool("decompress " + path("part.__$") + " " + path("part.txt"));
    EXPECT_EQ(r.status, 4);
    const Bytes kept = get(path("part.txt"));
    ASSERT_FALSE(kept.empty());
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), input.begin()));
    EXPECT_EQ(r.errors, "tarvis-implode: " + path("part.__$") +
                            ": compressed data breaks off or is corrupt after " +
                            std::to_string(kept.size()) + " decoded bytes, which are in " +
                            path("part.txt") + "\n");
}

TEST_F(PklibFiles, NotAStreamLeavesNoOutput) {
    struct Case {
        Bytes content;
        int status;
        const char* fault;
    };
    const Case cases[] = {
        {bytes({0x01, 0x09, 0x22, 0x33, 0x44}), 1,
         ": not a PKLIB stream: dictionary size code is not 4, 5 or 6\n"},
        {bytes({0x05, 0x06, 0x22, 0x33, 0x44}), 2,
         ": not a PKLIB stream: literal coding is neither binary nor ASCII\n"},
        {bytes({0x01, 0x06, 0x01, 0xFF}), 3, ": not a PKLIB stream: 4 bytes or fewer\n"},
        {bytes({0x00, 0x04, 0x1F, 0x02, 0xFE, 0x01}), 4,
         ": compressed data breaks off or is corrupt; nothing could be decoded\n"},
    };
    for (const Case& c : cases) {
        put(path("bad"), c.content);
        const Run r = tool("decompress " + path("bad") + " " + path("bad.out"));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.errors, "tarvis-implode: " + path("bad") + c.fault);
        EXPECT_FALSE(fs::exists(path("bad.out")));
    }
}

TEST_F(PklibFiles, FileFaults) {
    Run r = tool("compress " + path("missing") + " " + path("x"));
    EXPECT_EQ(r.status, 66);
    EXPECT_EQ(r.errors,
              "tarvis-implode: " + path("missing") + ": cannot open: No such file or directory\n");

    put(path("same"), text("same file twice"));
    r = tool("compress " + path("same") + " " + path("same"));
    EXPECT_EQ(r.status, 73);
    EXPECT_EQ(get(path("same")), text("same file twice")); // not truncated

    r = tool("compress " + path("same") + " " + path("no/such/dir/out"));
    EXPECT_EQ(r.status, 73);

    r = tool("squash a b");
    EXPECT_EQ(r.status, 64);
    r = tool("compress onlyone");
    EXPECT_EQ(r.status, 64);
}

TEST_F(PklibFiles, WriteFailureIsNotSuccess) {
    // A private "full" device (as /dev/full) in the scratch folder: every write to it fails.
    const std::string full = path("full");
    if (::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) != 0) {
        GTEST_SKIP() << "cannot make a full device here";
    }
    if (std::FILE* probe = std::fopen(full.c_str(), "wb")) {
        std::fclose(probe);
    } else {
        GTEST_SKIP() << "devices cannot be opened in " << dir_; // a nodev mount
    }
    put(path("in"), randomBytes(20000, 8));
    const PklibFileResult r = pklibCompressFile(path("in"), full);
    EXPECT_EQ(r.fault, PklibFileFault::Write);
    EXPECT_EQ(pklibFaultText(r, true, path("in"), full),
              full + ": write error: No space left on device");
    EXPECT_TRUE(fs::exists(full)); // a device named as output is never removed
}

TEST_F(PklibFiles, ReadFailureIsNotSuccess) {
    // A directory opens for reading but every read fails.
    const PklibFileResult r = pklibCompressFile(dir_.string(), path("out"));
    EXPECT_EQ(r.fault, PklibFileFault::Read);
    EXPECT_FALSE(fs::exists(path("out")));
}

} // namespace
} // namespace tarvis::test
