// Project packages: the bytes Pack writes, the round trip into another
// installation, replacing a project, hostile packages and the failures of
// Pack. Expected package bytes are built here at literal offsets.
#include "shell/data_package.h"

#include <gtest/gtest.h>

#include <fstream>

#include <map>
#include <memory>
#include <string>

#include "project_editor/project_file.h"
#include "tests/project_editor/byte_builder.h"
#include "tests/project_editor/project_fixtures.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testbytes::ByteBuilder;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

const char* const kProjects = "KZV网页项目文件";
const char* const kCustom = "服饰搭配自定试衣项目";
const char* const kPictures = "试衣及按钮图片";
const char* const kSounds = "音乐及语音";
const char* const kShows = "展示及说明图片";

std::vector<unsigned char> ProjectBytes(int parts) {
    auto p = std::make_unique<project_editor::ProjectFile>();
    p->SetPartCount(parts);
    for (int i = 0; i < parts; ++i) p->parts[static_cast<std::size_t>(i)].SetName("上衣" + std::to_string(i));
    const auto bytes = project_editor::WriteProjectBytes(*p);
    return {bytes.begin(), bytes.end()};
}

std::vector<unsigned char> Picture(int seed, std::size_t size) {
    std::vector<unsigned char> b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<unsigned char>((i * 31 + static_cast<std::size_t>(seed) * 7) ^ (i >> 8));
    return b;
}

// Every file and folder under `root` with its bytes, for before/after checks.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string rel = it->path().lexically_relative(root).string();
        if (it->is_directory()) {
            out[rel] = "<dir>";
        } else {
            const auto b = ReadAll(it->path());
            out[rel] = std::string(b.begin(), b.end());
        }
    }
    return out;
}

// One installation: its base directory and its package object.
struct Install {
    TempDir dir;
    shell::CDataPackage package;
    Install() { package.SetDirectories(dir.path()); }
    fs::path Project(const std::string& name) const { return dir / kCustom / name; }
};

// The fixture project: Chinese names, an empty file, a nested folder (which
// is not part of a project and is not packed), an empty show folder.
void WriteFixture(const Install& in, const std::string& name) {
    in.dir.write(fs::path(kProjects) / (name + ".dm3"), ProjectBytes(3));
    const fs::path p = fs::path(kCustom) / name;
    in.dir.write(p / kPictures / "红色上衣.png", Picture(1, 30000));
    in.dir.write(p / kPictures / "b.png", Picture(2, 10240));
    in.dir.write(p / kPictures / "空文件.png", std::vector<unsigned char>{});
    in.dir.write(p / kPictures / "子目录" / "inner.png", Picture(3, 100));
    in.dir.write(p / kSounds / "背景音乐.mp3", Picture(4, 5000));
    fs::create_directories(in.dir / p / kShows);
}

struct HandEntry {
    char kind;
    std::string nameGbk;
    std::string data;
    // As the format's packer writes a name that no longer fits its pool:
    // name offset -1, length 0, nothing added to the pool.
    bool unnamed = false;
};

// A package as another installation writes it, from the format's tables.
ByteBuilder HandPackage(const std::string& packageNameGbk, const std::vector<HandEntry>& entries) {
    ByteBuilder b(316);
    b.U8(0, 'A').U8(1, 'a').U8(2, ' ').Raw(14, packageNameGbk);
    std::string pool;
    ByteBuilder dir;
    std::int32_t offset = 316;
    for (const HandEntry& e : entries) {
        b.Append(e.data);
        ByteBuilder entry(32);
        entry.U8(0, static_cast<std::uint8_t>(e.kind)).U8(1, static_cast<std::uint8_t>(e.unnamed ? 0 : e.nameGbk.size()));
        entry.I32(8, static_cast<std::int32_t>(e.data.size())).I32(12, offset);
        entry.I32(16, e.unnamed ? -1 : static_cast<std::int32_t>(pool.size()));
        dir.Append(entry);
        if (!e.unnamed) pool += e.nameGbk;
        offset += static_cast<std::int32_t>(e.data.size());
    }
    b.I32(196, static_cast<std::int32_t>(entries.size())).I32(200, offset);
    b.I32(204, offset + static_cast<std::int32_t>(dir.size())).I32(208, static_cast<std::int32_t>(pool.size()));
    b.Append(dir).Append(pool);
    return b;
}

std::string Str(const std::vector<unsigned char>& b) { return std::string(b.begin(), b.end()); }

platform::MessageSink Answer(platform::MbResult r, std::vector<platform::MessageRequest>* asked) {
    return [r, asked](const platform::MessageRequest& m) {
        if (asked) asked->push_back(m);
        return r;
    };
}

TEST(DataPackage, PackWritesTheFormatByteForByte) {
    Install shop;
    WriteFixture(shop, "春季新款");
    ASSERT_TRUE(shop.package.Pack("春季新款")) << shop.package.GetLastErrorText();

    const fs::path p = shop.Project("春季新款");
    // Files in name order within each folder; the empty file has an entry of
    // size 0; the nested folder is passed over.
    const std::string project = Str(ProjectBytes(3));
    const ByteBuilder expected = HandPackage("\xB4\xBA\xBC\xBE\xD0\xC2\xBF\xEE",  // 春季新款
                                             {
                                                 {'H', "\xB4\xBA\xBC\xBE\xD0\xC2\xBF\xEE", project},
                                                 {'A', "b.png", Str(ReadAll(p / kPictures / "b.png"))},
                                                 {'A', "\xBF\xD5\xCE\xC4\xBC\xFE.png", ""},  // 空文件.png
                                                 {'A', "\xBA\xEC\xC9\xAB\xC9\xCF\xD2\xC2.png",  // 红色上衣.png
                                                  Str(ReadAll(p / kPictures / "红色上衣.png"))},
                                                 {'B', "\xB1\xB3\xBE\xB0\xD2\xF4\xC0\xD6.mp3",  // 背景音乐.mp3
                                                  Str(ReadAll(p / kSounds / "背景音乐.mp3"))},
                                             });
    const auto written = ReadAll(shop.dir / "服饰搭配上传数据专区" / "春季新款.rar");
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), expected.bytes().begin()));
    EXPECT_EQ(testbytes::I32At(written, 196), 5);
    // No temporary file is left beside the package.
    EXPECT_EQ(std::distance(fs::directory_iterator(shop.dir / "服饰搭配上传数据专区"), fs::directory_iterator()), 1);
}

TEST(DataPackage, RoundTripIntoAnotherInstallation) {
    Install shop, customer;
    WriteFixture(shop, "春季新款");
    ASSERT_TRUE(shop.package.Pack("春季新款")) << shop.package.GetLastErrorText();
    fs::create_directories(customer.dir / "服饰搭配下载专区");
    fs::copy_file(shop.dir / "服饰搭配上传数据专区" / "春季新款.rar", customer.dir / "服饰搭配下载专区" / "春季新款.rar");

    std::vector<platform::MessageRequest> asked;
    ASSERT_EQ(customer.package.Unpack("春季新款.rar", Answer(platform::MbResult::No, &asked)), 1)
        << customer.package.GetLastErrorText();
    EXPECT_TRUE(asked.empty());  // nothing to replace
    EXPECT_EQ(ReadAll(customer.dir / kProjects / "春季新款.dm3"), ReadAll(shop.dir / kProjects / "春季新款.dm3"));
    for (const char* rel : {"试衣及按钮图片/红色上衣.png", "试衣及按钮图片/b.png", "试衣及按钮图片/空文件.png",
                            "音乐及语音/背景音乐.mp3"}) {
        SCOPED_TRACE(rel);
        ASSERT_TRUE(fs::exists(customer.Project("春季新款") / rel));
        EXPECT_EQ(ReadAll(customer.Project("春季新款") / rel), ReadAll(shop.Project("春季新款") / rel));
    }
    EXPECT_TRUE(fs::is_directory(customer.Project("春季新款") / kShows));
    EXPECT_FALSE(fs::exists(customer.Project("春季新款") / kPictures / "子目录"));
    // Nothing but the project's own folders is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(customer.dir / kCustom), fs::directory_iterator()), 1);
}

// The shop packs its project "春季新款"; the customer downloads it as "p.rar"
// and installs it. Returns the downloaded package's path.
fs::path InstallShopProject(Install& shop, Install& customer) {
    WriteFixture(shop, "春季新款");
    EXPECT_TRUE(shop.package.Pack("春季新款"));
    const fs::path download = customer.dir / "服饰搭配下载专区" / "p.rar";
    fs::create_directories(download.parent_path());
    fs::copy_file(shop.package.PackagePath("春季新款"), download);
    EXPECT_EQ(customer.package.Unpack("p.rar", Answer(platform::MbResult::Yes, nullptr)), 1);
    return download;
}

TEST(DataPackage, ReplacingAnExistingProjectAsksFirst) {
    Install shop, customer;
    const fs::path download = InstallShopProject(shop, customer);
    std::vector<platform::MessageRequest> asked;
    // The customer's own file in the project folder.
    customer.dir.write(fs::path(kCustom) / "春季新款" / kPictures / "mine.png", std::string("mine"));

    // The shop changes a picture and packs again.
    shop.dir.write(fs::path(kCustom) / "春季新款" / kPictures / "b.png", Picture(9, 777));
    ASSERT_TRUE(shop.package.Pack("春季新款"));
    fs::copy_file(shop.package.PackagePath("春季新款"), download, fs::copy_options::overwrite_existing);

    const auto before = Snapshot(customer.dir.path());
    ASSERT_EQ(customer.package.Unpack("p.rar", Answer(platform::MbResult::No, &asked)), 1);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "下载的试衣项目已存在!是否更新?");
    EXPECT_EQ(asked[0].buttons, platform::MbButtons::YesNo);
    EXPECT_EQ(asked[0].icon, platform::MbIcon::Question);
    EXPECT_EQ(customer.package.GetLastErrorText(), "不更新!!");
    EXPECT_EQ(Snapshot(customer.dir.path()), before);

    ASSERT_EQ(customer.package.Unpack("p.rar", Answer(platform::MbResult::Yes, &asked)), 1);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(ReadAll(customer.Project("春季新款") / kPictures / "b.png"), Picture(9, 777));
    EXPECT_EQ(Str(ReadAll(customer.Project("春季新款") / kPictures / "mine.png")), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(customer.dir / kCustom), fs::directory_iterator()), 1);
}

TEST(DataPackage, AFailureHalfWayLeavesTheOldProject) {
    Install shop, customer;
    const fs::path download = InstallShopProject(shop, customer);
    std::vector<platform::MessageRequest> asked;
    // A folder where the package's last picture must go: its other files
    // would already be in place when that one fails.
    fs::remove(customer.Project("春季新款") / kPictures / "红色上衣.png");
    fs::create_directories(customer.Project("春季新款") / kPictures / "红色上衣.png" / "x");
    customer.dir.write(fs::path(kProjects) / "春季新款.dm3", std::string("old project"));

    const auto before = Snapshot(customer.dir.path());
    EXPECT_EQ(customer.package.Unpack("p.rar", Answer(platform::MbResult::Yes, &asked)), 0);
    EXPECT_EQ(customer.package.GetLastErrorText(), "恢复创建文件出错!!");
    EXPECT_EQ(Snapshot(customer.dir.path()), before);
}

TEST(DataPackage, APackageFromAnotherInstallationWithLongAndDottedNames) {
    Install customer;
    const std::string name127(127, 'n');                      // the longest name the format holds
    const std::string dotted = "2010.\xB4\xBA";               // "2010.春": the folder keeps the whole name
    std::string long80;
    for (int i = 0; i < 50; ++i) long80 += "\xBA\xEC";        // 50 × 红 = 100 bytes, beyond the old 80-byte cut
    const ByteBuilder pkg = HandPackage("x", {{'H', dotted, Str(ProjectBytes(1))},
                                              {'A', name127, "a"},
                                              {'C', long80 + ".png", "show"},
                                              {'B', "v.wav", "wave"},
                                              {'Z', "skip.bin", "unknown kinds are skipped"}});
    customer.dir.write(fs::path("服饰搭配下载专区") / "w.rar", pkg.bytes());
    ASSERT_EQ(customer.package.Unpack("w.rar", nullptr), 1) << customer.package.GetLastErrorText();
    std::string red;
    for (int i = 0; i < 50; ++i) red += "红";
    EXPECT_TRUE(fs::exists(customer.dir / kProjects / "2010.春.dm3"));
    EXPECT_EQ(Str(ReadAll(customer.Project("2010.春") / kPictures / name127)), "a");
    EXPECT_EQ(Str(ReadAll(customer.Project("2010.春") / kShows / (red + ".png"))), "show");
    EXPECT_EQ(Str(ReadAll(customer.Project("2010.春") / kSounds / "v.wav")), "wave");
    EXPECT_FALSE(fs::exists(customer.Project("2010")));

    // And the same names pack again whole.
    ASSERT_TRUE(customer.package.Pack("2010.春")) << customer.package.GetLastErrorText();
    Install other;
    other.dir.write(fs::path("服饰搭配下载专区") / "w.rar", ReadAll(customer.package.PackagePath("2010.春")));
    ASSERT_EQ(other.package.Unpack("w.rar", nullptr), 1) << other.package.GetLastErrorText();
    EXPECT_EQ(Snapshot(other.Project("2010.春")), Snapshot(customer.Project("2010.春")));
}

// A project and a package as a Windows installation writes them, from the
// formats' tables: a face string whose offset went stale (past the pool),
// bytes after the pool, a picture whose name no longer fitted the name pool
// and one whose name is 130 bytes long (its length byte reads negative).
TEST(DataPackage, WhatWindowsInstallationsWriteUnpacksAndOpens) {
    using namespace testbytes;
    const std::string folderGbk = "C:\\Lumora\\\xB7\xFE\xCA\xCE";  // C:\Lumora\服饰
    ByteBuilder project = HeaderBytes(2, folderGbk);
    project.Append(InfoBytes(2, 9));
    project.Append(PartBytes('A', 'T', kGbkShiYi)).Append(PartBytes('A', ' ', kGbkZhangSan));
    ByteBuilder face0 = FaceBytes('1');
    SetFaceString(face0, 1, 0, 0, 9);  // "front.jpg"
    ByteBuilder face1 = FaceBytes('1');
    SetFaceString(face1, 1, 0, 4000, 9);  // stale: the pool is 9 bytes long
    project.Append(face0).Append(face1).Append("front.jpg").Append(std::string_view("\0\0tail of an older save", 23));
    project.Append(std::string(200000, 'z'));  // longer than any project: the tail is not installed

    const std::string longName = std::string(126, 'L') + ".png";  // 130 bytes
    const ByteBuilder pkg = HandPackage("win", {{'H', "win", Str(project.bytes())},
                                                {'A', "a.png", "first"},
                                                {'A', "lost.png", "no room for its name", true},
                                                {'C', longName, "long"},
                                                {'B', "v.wav", "wave"}});
    Install customer;
    customer.dir.write(fs::path("服饰搭配下载专区") / "win.rar", pkg.bytes());
    std::vector<platform::MessageRequest> told;
    ASSERT_EQ(customer.package.Unpack("win.rar", Answer(platform::MbResult::Ok, &told)), 1)
        << customer.package.GetLastErrorText();
    EXPECT_EQ(Str(ReadAll(customer.Project("win") / kPictures / "a.png")), "first");
    EXPECT_EQ(Str(ReadAll(customer.Project("win") / kSounds / "v.wav")), "wave");
    EXPECT_TRUE(fs::is_empty(customer.Project("win") / kShows));
    EXPECT_EQ(std::distance(fs::directory_iterator(customer.Project("win") / kPictures), fs::directory_iterator()), 1);
    // The skipped entries are counted and named where the pool names them.
    EXPECT_EQ(customer.package.lastSkipped(), (std::vector<std::string>{"", longName}));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].text, "下载的试衣项目中有 2 个文件无法恢复, 已跳过:\n(无文件名)\n" + longName);

    EXPECT_EQ(fs::file_size(customer.dir / kProjects / "win.dm3"), project_editor::kMaxProjectFileSize);
    // The project opens: the stale string is no string, the tail is ignored.
    auto opened = std::make_unique<project_editor::ProjectFile>();
    ASSERT_EQ(project_editor::LoadProjectFile(customer.dir / kProjects / "win.dm3", *opened),
              project_editor::ProjectFileError::None);
    EXPECT_EQ(opened->parts[1].Name(), "张三");
    EXPECT_EQ(opened->FaceString(0, 1, 0), "front.jpg");
    EXPECT_EQ(opened->FaceString(1, 1, 0), "");
}

TEST(DataPackage, HostilePackagesAreRefusedAndNothingIsWritten) {
    const std::string project = Str(ProjectBytes(1));
    const std::vector<HandEntry> good = {{'H', "p", project}, {'A', "a.png", "pic"}};
    struct Case {
        const char* what;
        std::function<ByteBuilder()> make;
        shell::PackageFault fault;
    };
    auto patched = [&](std::function<void(ByteBuilder&)> patch) {
        return [&good, patch] {
            ByteBuilder b = HandPackage("p", good);
            patch(b);
            return b;
        };
    };
    const std::size_t dirAt = 316 + project.size() + 3;  // directory of the good package
    const Case cases[] = {
        {"short header", [] { return ByteBuilder(100); }, shell::PackageFault::ShortHeader},
        {"an HTML error page",
         [] {
             ByteBuilder b;
             b.Append("<html><body>404 Not Found</body></html>" + std::string(400, ' '));
             return b;
         },
         shell::PackageFault::BadMagic},
        {"wrong magic", patched([](ByteBuilder& b) { b.U8(1, 'A'); }), shell::PackageFault::BadMagic},
        {"count 0", patched([](ByteBuilder& b) { b.I32(196, 0); }), shell::PackageFault::BadCount},
        {"count 881", patched([](ByteBuilder& b) { b.I32(196, 881); }), shell::PackageFault::BadCount},
        {"count -1", patched([](ByteBuilder& b) { b.I32(196, -1); }), shell::PackageFault::BadCount},
        {"count beyond the directory", patched([](ByteBuilder& b) { b.I32(196, 3); }),
         shell::PackageFault::DirectoryOutside},
        {"directory beyond the file", patched([](ByteBuilder& b) { b.I32(200, 0x7FFFFFF0); }),
         shell::PackageFault::DirectoryOutside},
        {"directory offset negative", patched([](ByteBuilder& b) { b.I32(200, -32); }),
         shell::PackageFault::DirectoryOutside},
        {"pool beyond the file", patched([](ByteBuilder& b) { b.I32(204, 0x7FFFFFF0); }),
         shell::PackageFault::PoolOutside},
        {"pool larger than it can be", patched([](ByteBuilder& b) { b.I32(208, 18800); }),
         shell::PackageFault::PoolOutside},
        {"pool size negative", patched([](ByteBuilder& b) { b.I32(208, -1); }), shell::PackageFault::PoolOutside},
        {"entry 0 not the project", patched([dirAt](ByteBuilder& b) { b.U8(dirAt, 'A'); }),
         shell::PackageFault::FirstNotProject},
        {"data beyond the file", patched([dirAt](ByteBuilder& b) { b.I32(dirAt + 32 + 12, 0x7FFFFF00); }),
         shell::PackageFault::DataOutside},
        {"size beyond the file", patched([dirAt](ByteBuilder& b) { b.I32(dirAt + 32 + 8, 0x7FFFFF00); }),
         shell::PackageFault::DataOutside},
        {"size negative", patched([dirAt](ByteBuilder& b) { b.I32(dirAt + 32 + 8, -3); }),
         shell::PackageFault::DataOutside},
        {"name beyond the pool", patched([dirAt](ByteBuilder& b) { b.I32(dirAt + 32 + 16, 4); }),
         shell::PackageFault::NameOutsidePool},
        {"data inside the header", patched([dirAt](ByteBuilder& b) { b.I32(dirAt + 32 + 12, 100); }),
         shell::PackageFault::DataOutside},
        {"data inside the directory", patched([dirAt](ByteBuilder& b) { b.I32(dirAt + 32 + 12, static_cast<std::int32_t>(dirAt)); }),
         shell::PackageFault::DataOutside},
        {"a picture inside the project's data", patched([dirAt](ByteBuilder& b) { b.I32(dirAt + 32 + 12, 320); }),
         shell::PackageFault::DataOverlap},
        {"800 entries sharing one block",
         [&] {
             std::vector<HandEntry> many = {{'H', "p", project}, {'A', "0.png", std::string(400, 'x')}};
             for (int i = 1; i < 800; ++i) many.push_back({'A', std::to_string(i) + ".png", ""});
             ByteBuilder b = HandPackage("p", many);
             const std::size_t dir = 316 + project.size() + 400;
             for (std::size_t i = 2; i < 801; ++i)
                 b.I32(dir + 32 * i + 8, 400).I32(dir + 32 * i + 12, static_cast<std::int32_t>(316 + project.size()));
             return b;
         },
         shell::PackageFault::DataOverlap},
        {"a project without a name",
         [&] { return HandPackage("p", {{'H', "p", project, true}, {'A', "a.png", "pic"}}); },
         shell::PackageFault::BadName},
        {"\"..\" as a picture", [&] { return HandPackage("p", {{'H', "p", project}, {'A', "..", "x"}}); },
         shell::PackageFault::BadName},
        {"\"..\" as the project", [&] { return HandPackage("p", {{'H', "..", project}}); },
         shell::PackageFault::BadName},
        {"\"/\" in a name",
         [&] { return HandPackage("p", {{'H', "p", project}, {'A', "../../../../tmp/evil", "x"}}); },
         shell::PackageFault::BadName},
        {"\"\\\\\" in a name", [&] { return HandPackage("p", {{'H', "p", project}, {'B', "..\\evil", "x"}}); },
         shell::PackageFault::BadName},
        {"control character", [&] { return HandPackage("p", {{'H', "p", project}, {'C', "a\nb", "x"}}); },
         shell::PackageFault::BadName},
        {"no GBK", [&] { return HandPackage("p", {{'H', "p", project}, {'A', "\xFF\xFE", "x"}}); },
         shell::PackageFault::BadName},
        {"damaged project file", [&] { return HandPackage("p", {{'H', "p", "not a project file"}}); },
         shell::PackageFault::BadProjectFile},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Install customer;
        // An installed project "p" and a package "p.rar" that would replace it.
        customer.dir.write(fs::path(kProjects) / "p.dm3", std::string("installed"));
        customer.dir.write(fs::path(kCustom) / "p" / kPictures / "a.png", std::string("installed"));
        customer.dir.write(fs::path("服饰搭配下载专区") / "p.rar", c.make().bytes());
        const auto before = Snapshot(customer.dir.path());
        std::vector<platform::MessageRequest> asked;
        EXPECT_EQ(customer.package.Unpack("p.rar", Answer(platform::MbResult::Yes, &asked)), 0);
        EXPECT_EQ(customer.package.GetLastErrorText(), "文件数据出错!!");
        EXPECT_EQ(customer.package.lastFault(), c.fault);
        EXPECT_TRUE(asked.empty());
        EXPECT_EQ(Snapshot(customer.dir.path()), before);
    }

    // The good package itself goes in, so the table's packages differ from it
    // only in what each case breaks.
    Install customer;
    customer.dir.write(fs::path("服饰搭配下载专区") / "p.rar", HandPackage("p", good).bytes());
    EXPECT_EQ(customer.package.Unpack("p.rar", nullptr), 1) << customer.package.GetLastErrorText();

    // Names that are not names inside the download folder are not looked up.
    for (const char* name : {"../p.rar", "", "missing.rar"}) {
        EXPECT_EQ(customer.package.Unpack(name, nullptr), 0);
        EXPECT_EQ(customer.package.GetLastErrorText(), "下载文件无法找到!!");
    }
}

TEST(DataPackage, PackReportsEveryFailureAndKeepsTheOldPackage) {
    struct Case {
        const char* what;
        std::function<void(const Install&)> setup;
        const char* name;
        const char* error;  // the start of the text
    };
    const Case cases[] = {
        {"no project folder", [](const Install&) {}, "p", "试衣项目目录不存在!!"},
        {"no project file", [](const Install& in) { fs::create_directories(in.Project("p")); }, "p",
         "试衣项目文件不存在!!"},
        {"empty project file",
         [](const Install& in) {
             fs::create_directories(in.Project("p"));
             in.dir.write(fs::path(kProjects) / "p.dm3", std::string());
         },
         "p", "试衣项目文件是空的!!"},
        {"damaged project file",
         [](const Install& in) {
             fs::create_directories(in.Project("p"));
             in.dir.write(fs::path(kProjects) / "p.dm3", std::string("junk"));
         },
         "p", "试衣项目文件数据出错!!"},
        {"a name of 128 bytes",
         [](const Install& in) {
             WriteFixture(in, "p");
             in.dir.write(fs::path(kCustom) / "p" / kSounds / std::string(128, 'x'), std::string("x"));
         },
         "p", "文件名无法打包: "},
        {"a name with no GBK form",
         [](const Install& in) {
             WriteFixture(in, "p");
             in.dir.write(fs::path(kCustom) / "p" / kShows / "😀.png", std::string("x"));
         },
         "p", "文件名无法打包: "},
        {"881 files in all",
         [](const Install& in) {
             WriteFixture(in, "p");  // 4 files
             for (int i = 0; i < 600; ++i)
                 in.dir.write(fs::path(kCustom) / "p" / kShows / ("s" + std::to_string(i)), std::string("x"));
             for (int i = 0; i < 276; ++i)
                 in.dir.write(fs::path(kCustom) / "p" / kSounds / ("m" + std::to_string(i)), std::string("x"));
         },
         "p", "文件太多, 无法打包!!"},
        {"801 files in one folder",
         [](const Install& in) {
             WriteFixture(in, "p");
             for (int i = 0; i < 801; ++i)
                 in.dir.write(fs::path(kCustom) / "p" / kShows / ("s" + std::to_string(i)), std::string("x"));
         },
         "p", "文件太多, 无法打包!!"},
        {"names beyond the pool",
         [](const Install& in) {
             WriteFixture(in, "p");
             for (int i = 0; i < 160; ++i)
                 in.dir.write(fs::path(kCustom) / "p" / kShows / (std::to_string(1000 + i) + std::string(116, 'n')),
                              std::string("x"));
         },
         "p", "文件名总长度超出限制"},
        {"an unusable project name", [](const Install&) {}, "../p", "试衣项目名称无效!!"},
        {"a project name of 128 bytes", [](const Install&) {}, nullptr, "试衣项目名称太长!!"},
        {"no upload folder can be made",
         [](const Install& in) {
             WriteFixture(in, "p");
             fs::remove_all(in.dir / "服饰搭配上传数据专区");
             in.dir.write("服饰搭配上传数据专区", std::string("a file"));
         },
         "p", "创建文件出错!!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Install in;
        in.dir.write(fs::path("服饰搭配上传数据专区") / "p.rar", std::string("the package of yesterday"));
        c.setup(in);
        const std::string name = c.name ? c.name : std::string(128, 'p');
        const bool hasUploads = fs::is_directory(in.dir / "服饰搭配上传数据专区");
        const auto before = hasUploads ? Snapshot(in.dir / "服饰搭配上传数据专区") : std::map<std::string, std::string>{};
        EXPECT_FALSE(in.package.Pack(name));
        EXPECT_EQ(in.package.GetLastErrorText().rfind(c.error, 0), 0u) << in.package.GetLastErrorText();
        if (hasUploads) {
            EXPECT_EQ(Snapshot(in.dir / "服饰搭配上传数据专区"), before);
        }
    }

    // The largest project the format holds: 880 entries.
    Install full;
    WriteFixture(full, "p");
    for (int i = 0; i < 600; ++i) full.dir.write(fs::path(kCustom) / "p" / kShows / ("s" + std::to_string(i)), std::string("x"));
    for (int i = 0; i < 275; ++i) full.dir.write(fs::path(kCustom) / "p" / kSounds / ("m" + std::to_string(i)), std::string("x"));
    ASSERT_TRUE(full.package.Pack("p")) << full.package.GetLastErrorText();
    EXPECT_EQ(testbytes::I32At(ReadAll(full.package.PackagePath("p")), 196), 880);
}

// A package whose name is a link is written as the file the link names, and
// a project file with a second name stays one file when a package replaces it.
TEST(DataPackage, PackAndUnpackWriteThroughLinks) {
    Install shop, customer;
    TempDir elsewhere;
    const fs::path package = shop.package.PackagePath("春季新款");
    fs::create_directories(package.parent_path());
    fs::create_symlink(elsewhere / "春季新款.rar", package);
    const fs::path download = InstallShopProject(shop, customer);
    EXPECT_TRUE(fs::is_symlink(package));
    const auto packed = ReadAll(elsewhere / "春季新款.rar");
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(packed[0], 'A');
    EXPECT_EQ(packed[1], 'a');

    const fs::path project = customer.dir / kProjects / "春季新款.dm3";
    const fs::path second = customer.dir / kProjects / "备份.dm3";
    const auto installed = ReadAll(project);
    ASSERT_FALSE(installed.empty());
    {
        std::ofstream edit(project, std::ios::binary | std::ios::in | std::ios::out);
        edit.write("X", 1);  // the customer's own change, in place
    }
    fs::create_hard_link(project, second);
    ASSERT_EQ(customer.package.Unpack("p.rar", Answer(platform::MbResult::Yes, nullptr)), 1)
        << customer.package.GetLastErrorText();
    EXPECT_EQ(ReadAll(project), installed);
    EXPECT_EQ(ReadAll(second), installed);
    EXPECT_EQ(fs::hard_link_count(project), 2u);
}

TEST(DataPackage, EachPackHasItsOwnNames) {
    Install shop;
    WriteFixture(shop, "a");
    shop.dir.write(fs::path(kProjects) / "b.dm3", ProjectBytes(1));
    fs::create_directories(shop.Project("b"));
    ASSERT_TRUE(shop.package.Pack("a"));
    ASSERT_TRUE(shop.package.Pack("b"));
    const auto b = ReadAll(shop.package.PackagePath("b"));
    EXPECT_EQ(testbytes::I32At(b, 196), 1);
    EXPECT_EQ(testbytes::I32At(b, 208), 1);  // "b" alone
    EXPECT_EQ(b.back(), 'b');
}

}  // namespace
