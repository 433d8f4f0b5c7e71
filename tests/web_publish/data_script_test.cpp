// The generated data script: literals for hostile texts, the publish list's
// order and caps, and a whole script written from a project full of quotes,
// backslashes, line breaks, "----" prices and odd letters, checked by node
// (it parses, and every list holds the values the page must see).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/files.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/web_publish/browser_support.h"
#include "tests/web_publish/web_fixtures.h"
#include "web_publish/cloth_data.h"
#include "web_publish/js_literal.h"
#include "web_publish/publish_list.h"
#include "web_publish/template_scramble.h"

namespace fs = std::filesystem;
using namespace web_publish;
using namespace webtest;

namespace {

const fs::path kTemplates = testsupport::DemoBase() / "KZV网页项目模板";

TEST(JsLiterals, HostileTextsBecomeSafeLiterals) {
    struct Case { std::string in, out; };
    const Case strings[] = {
        {"", "\"\""},
        {"plain", "\"plain\""},
        {"他说\"好\"", "\"他说\\\"好\\\"\""},
        {"C:\\衣服\\", "\"C:\\\\衣服\\\\\""},
        {"一\n二\r三\t", "\"一\\n二\\r三\\t\""},
        {"</script><script>", "\"\\x3C/script>\\x3Cscript>\""},
        {std::string("a\0b", 3), "\"a\\x00b\""},
        {"\x7F", "\"\\x7F\""},
        {"x\xE2\x80\xA8y\xE2\x80\xA9", "\"x\\u2028y\\u2029\""},
        {"bad\xB0utf8", "\"bad\\uFFFDutf8\""},
        {"----", "\"----\""},
    };
    for (const Case& c : strings) EXPECT_EQ(JsString(c.in), c.out) << c.in;

    const std::pair<char, std::string> letters[] = {
        {'a', "\"a\""}, {'5', "\"5\""}, {' ', "\" \""}, {'"', "\"\\\"\""}, {'\\', "\"\\\\\""},
        {'<', "\"\\x3C\""}, {'\0', "\"\""}, {'\n', "\"\""}, {'\xB0', "\"\""}, {'\x7F', "\"\""}};
    for (const auto& [c, out] : letters) EXPECT_EQ(JsLetter(c), out) << int(c);

    const std::pair<std::string, std::string> prices[] = {
        {"239", "239"}, {"12元", "12"}, {"----", ""}, {"5-", ""}, {"1.2.3", ""}, {"", ""},
        {"0012.50", "12.50"}, {"-3.5", "-3.5"}, {".5", "0.5"}, {"5.", ""}, {"-", ""}, {".", ""},
        {"123456789", "12345678"}, {"￥99", "99"}, {"1 2", "12"}, {"00", "0"}};
    for (const auto& [in, out] : prices)
        EXPECT_EQ(CleanPrice(platform::Utf8ToGbkLossy(in)), out) << in;

    const std::pair<std::string, std::string> sizes[] = {
        {"200,200", "[200,200]"}, {"J120,80", "[120,80]"}, {"p7,8", "[7,8]"}, {"abc,200", "[,200]"},
        {"10,x", "[10,,]"}, {"", "[,,]"}, {"1,2,3", "[1,,]"}, {"-5, 6", "[-5,6]"}};
    for (const auto& [in, out] : sizes) EXPECT_EQ(JsSizePair(in), out) << in;
}

TEST(PublishList, CategoriesOrderSkipsAndCaps) {
    // Parts above the first caption row are in category 0, and the first
    // caption below them raises it to 1.
    auto p = NewProject("/tmp/none");
    AddPart(*p, 'A', "top0", 4);        // 0: category 0
    AddCaption(*p, 'B', "上装");         // 1
    AddPart(*p, 'B', "b1", 5);          // 2: category 1, position 0
    AddPart(*p, 'B', "", 50);           // 3: no picture: never published
    AddPart(*p, 'B', "b2", 4);          // 4: position 1
    AddCaption(*p, 'C', "下装");         // 5
    AddPart(*p, 'C', "c1", 4);          // 6: category 2
    PublishList list = CollectPublishList(*p);
    ASSERT_EQ(list.count, 4);
    // Depth 5 before every part of depth 4; within depth 4, project order.
    const int parts[] = {2, 0, 4, 6}, categories[] = {1, 0, 1, 2}, positions[] = {0, 0, 1, 0};
    for (int e = 0; e < 4; ++e) {
        EXPECT_EQ(list.at(e).part, parts[e]) << e;
        EXPECT_EQ(list.at(e).category, categories[e]) << e;
        EXPECT_EQ(list.at(e).position, positions[e]) << e;
    }
    EXPECT_EQ(list.at(0).key, 6 * 1000 - 2);
    EXPECT_EQ(ApplyCountRule(list), CountRule::Kept);

    auto first = NewProject("/tmp/none");
    AddCaption(*first, 'A', "模特");
    AddPart(*first, 'A', "m", 99);
    PublishList one = CollectPublishList(*first);
    EXPECT_EQ(one.at(0).category, 0);
    EXPECT_EQ(ApplyCountRule(one), CountRule::TooFew);

    auto many = NewProject("/tmp/none");
    for (int i = 0; i < 70; ++i) AddPart(*many, 'B', "p" + std::to_string(i), i % 3);
    PublishList big = CollectPublishList(*many);
    ASSERT_EQ(big.count, 70);
    EXPECT_EQ(ApplyCountRule(big), CountRule::Cut);
    EXPECT_EQ(big.count, 62);
    EXPECT_EQ(big.at(0).part, 2);  // depth 2 first, in project order
    // Depths far outside the stage still sort without overflow.
    many->parts[0].SetDepth(std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CollectPublishList(*many).at(0).part, 0);
}

class DataScript : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(kTemplates));
        m_project = NewProject((m_dir.path() / "pics").string());
        ProjectFile& p = *m_project;
        AddCaption(p, 'A', "模特");                                   // 0
        AddPart(p, 'A', "model", 99);                                  // 1
        AddCaption(p, 'B', "上装");                                    // 2
        PartRecord& top1 = AddPart(p, 'B', "top1", 45);                // 3
        top1.SetName("他说\"好\\看\"\n第二行</script>");
        top1.SetPrice("12元");
        top1.SetWebLink("javascript:alert(1)");
        top1.SetVoiceText("a\"b\\c\r\n.wav");
        top1.SetAnimationShowLetter('\0');
        top1.SetAnimationSoundLetter('"');
        top1.SetFacePictureSize("Jabc,200");
        top1.SetAnimationSize("10,x");
        top1.SetChangeFaceLetter('A');
        top1.SetScale(0.5f);
        top1.SetX(10);
        top1.SetY(20);
        PartRecord& top2 = AddPart(p, 'B', "top2", 45);                // 4
        top2.SetName("----");
        top2.SetPrice("5-");
        top2.SetAnimationShowLetter('\\');
        top2.SetAnimationSoundLetter('\xB0');
        AddPart(p, 'B', "top1", 45).SetPrice("1.2.3");                // 5: same picture as 3
        AddCaption(p, 'C', "下装");                                    // 6
        PartRecord& skirt = AddPart(p, 'C', "skirt", 55);              // 7
        skirt.SetPrice("0012.50");
        skirt.SetChangePictureLetter('a');
        PartRecord& hat = AddPart(p, 'G', "hat", 5);                   // 8
        hat.SetPrice("");
        p.faces[8].SetFaceCountLetter('1');
        AddFaceString(p, 8, 1, 0, "帽子展示");
        p.faces[3].SetFaceCountLetter('3');
        p.faces[3].SetFaceKind('P');
        m_pictures.sizes = {{"model.png", {200, 500}}, {"top1.png", {120, 80}}, {"top2.png", {90, 90}},
                            {"skirt.png", {100, 150}}, {"hat.png", {40, 30}}};
    }

    testsupport::TempDir m_dir;
    std::unique_ptr<ProjectFile> m_project;
    FakePictures m_pictures;
};

TEST_F(DataScript, HostileProjectTextsGiveAValidScriptWithTheirValues) {
    const auto before = project_editor::WriteProjectBytes(*m_project);
    PublishList list = CollectPublishList(*m_project);
    ASSERT_EQ(ApplyCountRule(list), CountRule::Kept);
    ClothDataOptions options{m_dir.path() / "pics", m_dir.path() / "out", false, {"12345", "http://shop.example.com/\"x\"", "", ""}};
    const ClothData data = BuildClothData(*m_project, list, options, m_pictures);
    EXPECT_EQ(data.text.find("</"), std::string::npos);

    const fs::path tpl = kTemplates / "网页试衣间[下标]模板" / "jsFile";
    const fs::path script = m_dir.path() / "Cloths_1.0_kzv.js";
    std::string error;
    ASSERT_TRUE(WriteClothData(tpl / "kzv_Cloth_part1.js", tpl / "kzv_Cloth_part2.js", data.text, script, &error)) << error;
    EXPECT_EQ(testsupport::NodeCheck(script), "");

    const std::string out = testsupport::NodeRun(
        "const vm=require('vm'),fs=require('fs');vm.runInThisContext(fs.readFileSync(" +
        JsString(script.string()) + ",'utf8'));for(const k of Object.keys(kzvCloths))console.log(k+'='+JSON.stringify(kzvCloths[k]));");
    auto value = [&](const std::string& key) {
        const std::string tag = "\n" + key + "=";
        const std::size_t at = ("\n" + out).find(tag);
        if (at == std::string::npos) return std::string("<missing>");
        const std::size_t from = at + tag.size() - 1, end = out.find('\n', from);
        return out.substr(from, end - from);
    };
    // Order: model (depth 99), skirt (55), top1, top2, top1 again (45), hat (5).
    EXPECT_EQ(value("imgpart"), R"x(["pic_0.png","pic_1.png","pic_2.png","pic_3.png","pic_2.png","pic_5.png"])x");
    EXPECT_EQ(value("partPrice"), "[null,12.5,12,null,null,null]");
    EXPECT_EQ(value("dressCodno"), R"x(["model","skirt","他说\"好\\看\"\n第二行</script>","----","top1","hat"])x");
    EXPECT_EQ(value("dressLstxt"), R"x(["","","a\"b\\c\r\n.wav","","",""])x");
    EXPECT_EQ(value("LnkAddWeb"), R"x(["----","----","javascript:alert(1)","----","----","----"])x");
    EXPECT_EQ(value("gifShowc"), R"x([" "," ","","\\"," "," "])x");
    EXPECT_EQ(value("gifSoundc"), R"x([" "," ","\"",""," "," "])x");
    EXPECT_EQ(value("faceImgWdHt"), "[[200,200],[200,200],[null,200],[200,200],[200,200],[200,200]]");
    EXPECT_EQ(value("gifWdHt"), "[[null,null],[null,null],[10,null],[null,null],[null,null],[null,null]]");
    EXPECT_EQ(value("partKind"), "[0,2,1,1,1,4]");
    EXPECT_EQ(value("grpPosJno"), "[0,0,0,1,2,1]");
    // top1 at half scale: 60 x 40, its corner moved down by 10 into the
    // square; the second top1 part has its own scale and place.
    EXPECT_EQ(value("imgWdHt"), "[[200,500],[100,150],[60,40],[90,90],[120,80],[40,30]]");
    EXPECT_EQ(value("partXYpos"), "[[150,0],[25,0],[10,30],[0,0],[0,20],[0,5]]");
    // top1 (place 2) has change-face letter 'A'; the skirt's 'a' points at it.
    EXPECT_EQ(value("ExpFaceCtrl"), "[20,22,22,23,24,25]");
    EXPECT_EQ(value("faceImgName"), R"x(["model","skirt","top1","top2","top1","帽子展示"])x");
    EXPECT_EQ(value("clothFaceNum"), "[0,0,3,0,0,1]");
    EXPECT_EQ(value("facImgkdLst"), "[1,1,0,1,1,1]");
    EXPECT_EQ(value("qqWeb"), R"x(["https://im.example.com/chat?uin=12345","http://shop.example.com/\"x\"",""])x");
    EXPECT_EQ(value("PARTMAXJN"), "6");
    EXPECT_EQ(value("Init0FaceCtrl"), "-49");  // an empty initial layer: its terminator minus '1'

    // top1 is read once; the model (category A) gets no thumbnail.
    ASSERT_EQ(m_pictures.jobs.size(), 5u);
    EXPECT_TRUE(m_pictures.jobs[0].thumbnailTo.empty());
    EXPECT_EQ(m_pictures.jobs[2].thumbnailTo.filename(), "Spic_2.png");
    // Publishing never changes the project.
    EXPECT_EQ(project_editor::WriteProjectBytes(*m_project), before);
}

TEST_F(DataScript, InitialLayerVideoNamesAndMissingTemplateParts) {
    EXPECT_EQ(InitialLayerValue("1:初层为主面"), 0);
    EXPECT_EQ(InitialLayerValue("0:初层为普通(视频)"), -1);
    EXPECT_EQ(InitialLayerValue(""), -49);
    EXPECT_EQ(InitialLayerValue("2"), 1);
    EXPECT_EQ(InitialLayerValue("x"), 'x' - '1');

    PublishList list = CollectPublishList(*m_project);
    ClothDataOptions options{m_dir.path() / "pics", m_dir.path() / "out", true, {"1", "", "", "0:初层为普通(视频)"}};
    const ClothData data = BuildClothData(*m_project, list, options, m_pictures);
    // Category numbers 0, 2, 1, 1, 1, 2: pag1 for 0, position + 1, and a
    // name taken on page 1 moves on to the next free number.
    const std::vector<std::string> names = {"pag1Video_1.png", "pag2Video_1.png", "pag1Video_2.png",
                                            "pag1Video_3.png", "pag1Video_4.png", "pag2Video_2.png"};
    EXPECT_EQ(data.outputNames, names);
    EXPECT_NE(data.text.find("Init0FaceCtrl:-1,"), std::string::npos);
    // Without template parts the file is still a script.
    const fs::path script = m_dir.path() / "videoDaLst_kzv.js";
    std::string error;
    ASSERT_TRUE(WriteClothData(m_dir.path() / "none1.js", m_dir.path() / "none2.js", data.text, script, &error));
    EXPECT_EQ(testsupport::NodeCheck(script), "");
    EXPECT_FALSE(WriteClothData({}, {}, data.text, m_dir.path() / "no" / "folder" / "x.js", &error));
}

TEST(DataScriptProperty, RandomRecordBytesStillGiveAValidScript) {
    // Every byte of every part and face record random (the counts and the
    // pool kept sane): the script must still parse and hold every entry.
    testsupport::TempDir dir;
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 12; ++round) {
        auto p = NewProject("/tmp/none");
        for (int i = 0; i < 20; ++i) {
            PartRecord& r = AddPart(*p, 'B', "p" + std::to_string(i), 5);
            for (auto& b : r.MutableBytes()) b = static_cast<std::uint8_t>(next() >> 24);
            r.MutableBytes()[85] = 'p';  // a picture name, so the part is published
            r.SetRowType('x');
            for (auto& b : p->faces[static_cast<std::size_t>(i)].MutableBytes()) b = static_cast<std::uint8_t>(next() >> 24);
        }
        for (auto& b : p->pool.MutableBytes()) b = static_cast<std::uint8_t>(next() >> 24);
        p->SetPoolLength(project_editor::kPoolCapacity);
        PublishList list = CollectPublishList(*p);
        ApplyCountRule(list);
        FakePictures pictures;
        const ClothData data = BuildClothData(*p, list, {"/tmp/none", dir.path(), round % 2 == 1,
                                                         {"\\x\"", "\n", "</script>", "\\"}}, pictures);
        const fs::path script = dir.path() / ("r" + std::to_string(round) + ".js");
        std::string error;
        ASSERT_TRUE(WriteClothData({}, {}, data.text, script, &error)) << error;
        ASSERT_EQ(testsupport::NodeCheck(script), "") << "round " << round;
        const std::string lengths = testsupport::NodeRun(
            "const vm=require('vm'),fs=require('fs');vm.runInThisContext(fs.readFileSync(" + JsString(script.string()) +
            ",'utf8'));const n=new Set(Object.keys(kzvCloths).filter(k=>Array.isArray(kzvCloths[k])&&k!=='qqWeb')"
            ".map(k=>kzvCloths[k].length));console.log([...n].join(','));");
        EXPECT_EQ(lengths, std::to_string(list.count) + "\n") << "round " << round;
    }
}

TEST(Templates, ScrambleRoundTripAndInstalledFiles) {
    std::vector<std::uint8_t> plain(5000);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<std::uint8_t>(i * 31 + 7);
    const auto stored = ScrambleTemplate(plain);
    ASSERT_EQ(stored.size(), plain.size() * 2);
    EXPECT_NE(std::vector<std::uint8_t>(stored.begin(), stored.begin() + 100),
              std::vector<std::uint8_t>(plain.begin(), plain.begin() + 100));
    EXPECT_EQ(UnscrambleTemplate(stored), plain);
    auto odd = stored;
    odd.push_back(0x55);  // a trailing odd byte is ignored
    EXPECT_EQ(UnscrambleTemplate(odd), plain);

    testsupport::TempDir dir;
    EXPECT_EQ(UnscrambleTemplateFile(dir.path() / "missing", dir.path() / "out"), UnscrambleResult::NoSource);
    EXPECT_FALSE(fs::exists(dir.path() / "out"));
    ASSERT_TRUE(testsupport::FixtureExists(kTemplates));
    const fs::path src = WEB_TEMPLATE_SOURCE_DIR;
    const std::pair<fs::path, fs::path> files[] = {
        {kTemplates / "网页试衣间[下标]模板" / "kzv_FittoraWeb.htm", src / "fitting" / "FittoraWeb_bottom.htm"},
        {kTemplates / "网页试衣间[上标]模板" / "kzv_FittoraWeb.htm", src / "fitting" / "FittoraWeb_top.htm"},
        {kTemplates / "网页试衣间[上标]模板" / "jsFile" / "kzv_Space_1.0_kzv.js", src / "fitting" / "Space_1.0_kzv.js"},
        {kTemplates / "视频播放模板" / "jsFile" / "kzv_videoDaLst_part1.js", src / "common" / "videoDaLst_part1.js"}};
    for (const auto& [stored, source] : files) {
        ASSERT_EQ(UnscrambleTemplateFile(stored, dir.path() / "plain"), UnscrambleResult::Written) << stored;
        EXPECT_EQ(testsupport::ReadAll(dir.path() / "plain"), testsupport::ReadAll(source)) << stored;
    }
    // The page scripts are valid.
    for (const char* js : {"fitting/Space_1.0_kzv.js", "common/Const.js", "common/mootools.v1.1.js", "video/common2.js",
                           "video/Player2.0.js", "video/kzvPlayer2.0.js"})
        EXPECT_EQ(testsupport::NodeCheck(src / js), "") << js;
}

}  // namespace
