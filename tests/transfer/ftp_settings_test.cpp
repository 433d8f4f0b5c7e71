// The FTP settings file: its bytes at their offsets, the round trip with the
// format's edge cases, and damaged or hostile files.
#include "transfer/ftp_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::ReadAll;
using testsupport::TempDir;
using transfer::FtpSettings;

namespace {

std::int32_t WordAt(const transfer::FtpSettingsBytes& b, std::size_t off) {
    return static_cast<std::int32_t>(b[off] | (b[off + 1] << 8) | (b[off + 2] << 16) |
                                     (static_cast<std::uint32_t>(b[off + 3]) << 24));
}

FtpSettings Decode(const transfer::FtpSettingsBytes& b) {
    auto s = transfer::DecodeFtpSettings(b);
    EXPECT_TRUE(s.has_value());
    return s.value_or(FtpSettings{});
}

}  // namespace

TEST(FtpSettings, WritesShiftedWordsAndTheFolderAtTheirOffsets) {
    FtpSettings s;
    s.server = "ftp.shop.cn";
    s.user = "shop";
    s.password = "";
    s.siteFolder = "DownLoad";
    const auto b = transfer::EncodeFtpSettings(s);
    ASSERT_EQ(b.size(), 524u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[17])), "DownLoad");
    // Server: base 17, step 3; 'f' at 0, 't' at 1, the terminator at 11,
    // fillers k + 5 after it.
    EXPECT_EQ(WordAt(b, 56), 17 + 'f');
    EXPECT_EQ(WordAt(b, 56 + 4), 17 + 3 + 't');
    EXPECT_EQ(WordAt(b, 56 + 4 * 11), 17 + 3 * 11);
    EXPECT_EQ(WordAt(b, 56 + 4 * 12), 17 + 3 * 12 + 12 + 5);
    EXPECT_EQ(WordAt(b, 56 + 4 * 36), 17 + 3 * 36 + 36 + 5);
    // User: base 29, step 5.
    EXPECT_EQ(WordAt(b, 212 + 4 * 3), 29 + 5 * 3 + 'p');
    // An empty password: a terminator word at 0, fillers after it.
    EXPECT_EQ(WordAt(b, 368), 41);
    EXPECT_EQ(WordAt(b, 368 + 4), 41 + 7 + 1 + 11);
    // No readable connection text anywhere in the file.
    const std::string all(b.begin(), b.end());
    EXPECT_EQ(all.find("ftp.shop"), std::string::npos);
    EXPECT_EQ(all.find("shop"), std::string::npos);
    // A GBK character is stored as two signed bytes.
    s.password = "口令";  // BF DA C1 EE
    const auto g = transfer::EncodeFtpSettings(s);
    EXPECT_EQ(WordAt(g, 368), 41 + static_cast<std::int8_t>(0xBF));
    EXPECT_EQ(WordAt(g, 368 + 4 * 3), 41 + 21 + static_cast<std::int8_t>(0xEE));
}

TEST(FtpSettings, RoundTripsTextsWithinTheirBounds) {
    struct Case {
        const char* name;
        FtpSettings in;
        FtpSettings out;
    } cases[] = {
        {"plain", {"127.0.0.1:2121", "user", "p@ss word", "DressDLoad2010"},
         {"127.0.0.1:2121", "user", "p@ss word", "DressDLoad2010"}},
        {"empty", {"", "", "", ""}, {"", "", "", ""}},
        {"36 characters whole", {std::string(36, 's'), std::string(36, 'u'), std::string(36, 'p'), std::string(36, 'f')},
         {std::string(36, 's'), std::string(36, 'u'), std::string(36, 'p'), std::string(36, 'f')}},
        {"40 characters cut to 36", {std::string(40, 's'), "u", "p", std::string(40, 'f')},
         {std::string(36, 's'), "u", "p", std::string(36, 'f')}},
        // 19 Chinese characters are 38 GBK bytes: 18 of them fit, none is halved.
        {"cut on a character boundary", {"", "用户用户用户用户用户用户用户用户用户用", "", "目录目录目录目录目录目录目录目录目录目"},
         {"", "用户用户用户用户用户用户用户用户用户", "", "目录目录目录目录目录目录目录目录目录"}},
        {"an odd cut", {"", "", "a口令口令口令口令口令口令口令口令口令口", ""},
         {"", "", "a口令口令口令口令口令口令口令口令口", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FtpSettings got = Decode(transfer::EncodeFtpSettings(c.in));
        EXPECT_EQ(got.server, c.out.server);
        EXPECT_EQ(got.user, c.out.user);
        EXPECT_EQ(got.password, c.out.password);
        EXPECT_EQ(got.siteFolder, c.out.siteFolder);
    }
}

TEST(FtpSettings, ANewFileIsPrivateAndAnOldOneKeepsItsMode) {
    TempDir base;
    const fs::path file = transfer::FtpSettingsPath(base.path());
    EXPECT_EQ(file.filename(), "jxClothFtpSet.3ft");
    // Missing: the defaults stay.
    FtpSettings s;
    EXPECT_EQ(transfer::ReadFtpSettings(file, &s), 0);
    EXPECT_EQ(s.siteFolder, "DressDLoad2010");
    EXPECT_EQ(s.server, "");

    FtpSettings w{"host", "me", "secret", "DownLoad"};
    ASSERT_EQ(transfer::WriteFtpSettings(file, w), 1);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // it holds a password

    ::chmod(file.c_str(), 0640);
    w.password = "another";
    ASSERT_EQ(transfer::WriteFtpSettings(file, w), 1);
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadAll(file).size(), 524u);
    EXPECT_EQ(testsupport::FileNames(base.path()), std::vector<std::string>{"jxClothFtpSet.3ft"});  // no temporary
    FtpSettings r;
    ASSERT_EQ(transfer::ReadFtpSettings(file, &r), 1);
    EXPECT_EQ(r.password, "another");
    EXPECT_EQ(r.siteFolder, "DownLoad");

    // A folder in the file's place cannot be written over.
    TempDir other;
    fs::create_directories(transfer::FtpSettingsPath(other.path()));
    std::string why;
    EXPECT_EQ(transfer::WriteFtpSettings(transfer::FtpSettingsPath(other.path()), w, &why), 0);
    EXPECT_EQ(why, "设置无法保存: jxClothFtpSet.3ft 是一个文件夹");
}

// As the owner (who, unlike root, may not write a read-only file): a file
// made read-only is refused, said so and kept with its mode; a link to the
// file is written through and stays a link; a file with a second name stays
// one file.
TEST(FtpSettings, TheWriterKeepsReadOnlyFilesAndLinks) {
    TempDir dir;
    const fs::path base = dir / "base";
    fs::create_directories(base);
    const std::string failures = testsupport::AsOrdinaryUser(base, [] {
        std::string wrong;
        auto check = [&wrong](bool ok, const std::string& what) {
            if (!ok) wrong += what + "; ";
        };
        const fs::path file = transfer::kFtpSettingsFileName;
        const FtpSettings first{"ftp.shop.cn", "shop", "first", "DressDLoad2010"};
        FtpSettings second = first;
        second.password = "second";
        FtpSettings r;

        check(transfer::WriteFtpSettings(file, first) == 1, "the first write failed");
        check(::chmod(file.c_str(), 0444) == 0, "chmod failed");
        std::string why;
        check(transfer::WriteFtpSettings(file, second, &why) == 0, "a read-only file was written over");
        check(why == "设置无法保存: jxClothFtpSet.3ft 是只读文件", "the refusal says: " + why);
        check(transfer::ReadFtpSettings(file, &r) == 1 && r.password == "first", "the read-only file changed");
        struct stat st {};
        check(::stat(file.c_str(), &st) == 0 && (st.st_mode & 07777) == 0444, "the read-only file's mode changed");

        // Through a link: the file it names is written, the link stays.
        check(::chmod(file.c_str(), 0644) == 0 && ::rename(file.c_str(), "real.3ft") == 0 &&
                  ::symlink("real.3ft", file.c_str()) == 0,
              "cannot make the link");
        check(transfer::WriteFtpSettings(file, second) == 1, "the write through the link failed");
        check(fs::is_symlink(file), "the link was replaced");
        check(transfer::ReadFtpSettings("real.3ft", &r) == 1 && r.password == "second", "the linked file is old");
        check(::stat("real.3ft", &st) == 0 && (st.st_mode & 07777) == 0644, "the linked file's mode changed");

        // A second name of the same file reads what was written.
        check(::link("real.3ft", "备份.3ft") == 0, "cannot make the second name");
        check(transfer::WriteFtpSettings(file, first) == 1, "the write of a file with two names failed");
        check(transfer::ReadFtpSettings("备份.3ft", &r) == 1 && r.password == "first", "the second name is old");
        check(testsupport::FileNames(".") == std::vector<std::string>{"jxClothFtpSet.3ft", "real.3ft", "备份.3ft"},
              "other files were left");
        return wrong;
    });
    EXPECT_EQ(failures, "");
}

TEST(FtpSettings, HostileFilesGiveBoundedTextsOrTheDefaults) {
    FtpSettings defaults{"keep", "keep", "keep", "keep"};
    const auto good = transfer::EncodeFtpSettings({"host", "user", "pw", "folder"});
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool read;
        std::size_t maxLen;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, false, 0});
    cases.push_back({"short", std::vector<std::uint8_t>(good.begin(), good.begin() + 523), false, 0});
    // A longer file gives its first record.
    auto longer = std::vector<std::uint8_t>(good.begin(), good.end());
    longer.push_back(0xFF);
    cases.push_back({"one byte longer", longer, true, 36});
    longer.resize(4096, 'x');
    cases.push_back({"much longer", longer, true, 36});
    cases.push_back({"all 0xFF", std::vector<std::uint8_t>(524, 0xFF), true, 36});
    cases.push_back({"all zero", std::vector<std::uint8_t>(524, 0), true, 36});
    // No terminator in any field: every text stops at 36 bytes.
    std::vector<std::uint8_t> noEnd(524, 'A');
    for (std::size_t off : {56u, 212u, 368u}) {
        for (std::size_t k = 0; k < 37; ++k) {
            const int shift = off == 56 ? 17 + 3 * static_cast<int>(k) : off == 212 ? 29 + 5 * static_cast<int>(k)
                                                                               : 41 + 7 * static_cast<int>(k);
            noEnd[off + 4 * k] = static_cast<std::uint8_t>(shift + 0xB0);  // a lead byte at every position
            noEnd[off + 4 * k + 1] = noEnd[off + 4 * k + 2] = noEnd[off + 4 * k + 3] = 0;
        }
    }
    cases.push_back({"no terminators, lead bytes", noEnd, true, 36});
    // A control character ends a text.
    auto ctrl = std::vector<std::uint8_t>(good.begin(), good.end());
    ctrl[56 + 4 * 2] = static_cast<std::uint8_t>(17 + 6 + '\n');
    ctrl[17 + 1] = '\r';
    cases.push_back({"control characters", ctrl, true, 36});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir base;
        const fs::path file = transfer::FtpSettingsPath(base.path());
        base.write("jxClothFtpSet.3ft", c.bytes);
        FtpSettings s = defaults;
        EXPECT_EQ(transfer::ReadFtpSettings(file, &s), c.read ? 1 : 0);
        if (!c.read) {
            EXPECT_EQ(s.server, "keep");
            EXPECT_EQ(s.siteFolder, "keep");
            continue;
        }
        for (const std::string* t : {&s.server, &s.user, &s.password, &s.siteFolder}) {
            // UTF-8 of at most 36 GBK bytes: at most 36 * 3 / 2 bytes, no controls.
            EXPECT_LE(t->size(), c.maxLen * 3 / 2 + 1);
            for (unsigned char ch : *t) EXPECT_GE(ch, 0x20);
        }
    }
    // A longer file in detail: the texts of its first 524 bytes.
    {
        TempDir base;
        base.write("jxClothFtpSet.3ft", cases[2].bytes);
        FtpSettings s;
        ASSERT_EQ(transfer::ReadFtpSettings(transfer::FtpSettingsPath(base.path()), &s), 1);
        EXPECT_EQ(s.server, "host");
        EXPECT_EQ(s.user, "user");
        EXPECT_EQ(s.password, "pw");
        EXPECT_EQ(s.siteFolder, "folder");
    }
    // The control-character case in detail: text up to the control character.
    TempDir base;
    base.write("jxClothFtpSet.3ft", cases.back().bytes);
    FtpSettings s;
    ASSERT_EQ(transfer::ReadFtpSettings(transfer::FtpSettingsPath(base.path()), &s), 1);
    EXPECT_EQ(s.server, "ho");
    EXPECT_EQ(s.siteFolder, "f");
    EXPECT_EQ(s.user, "user");
}
