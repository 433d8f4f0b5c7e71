// "查看操作说明": the manual of the camera and the photo editor that the build
// puts into the demo base is a Word document under the name the menu opens,
// holds the suite's own texts and no path of the machine that built it, and
// the command hands it to the desktop's opener without a word of complaint.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ui/message_box.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/main_frame.h"
#include "shell/sys_info.h"
#include "shell/web_links.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A text as a Word document keeps it: UTF-16, little-endian.
std::string Utf16(const std::string& utf8) {
    const std::wstring wide = wxString::FromUTF8(utf8).ToStdWstring();
    std::string out;
    for (wchar_t c : wide) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

const fs::path kManual = fs::path(std::string(shell::kManualDocument));

TEST(ManualDocument, IsAWordDocumentOfTheSuitesOwnTexts) {
    const fs::path doc = testsupport::DemoBase() / kManual;
    ASSERT_TRUE(testsupport::FixtureExists(doc));
    const std::string bytes = Bytes(doc);
    // A compound document file, as Word 97 and later write them.
    ASSERT_GE(bytes.size(), 4096u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    EXPECT_NE(bytes.find(Utf16("WordDocument")), std::string::npos);
    // The two parts and the controls they describe, as the dialogs name them.
    for (const char* text : {"一、摄像头拍照", "二、图片编辑", "开启摄像头", "自拍定时", "拍照图片A1_0", "服饰搭配拍照图片",
                             "图片编辑[试衣平台]", "擦除背景", "美容化装", "图片拍照保留", "素材(服装)"}) {
        EXPECT_NE(bytes.find(Utf16(text)), std::string::npos) << text;
    }
    // No path of the machine that built it.
    for (const fs::path& p : {testsupport::BuildDir(), testsupport::SourceDir()}) {
        EXPECT_EQ(bytes.find(p.string()), std::string::npos) << p;
        EXPECT_EQ(bytes.find(Utf16(p.string())), std::string::npos) << p;
    }
}

TEST(ManualDocument, TheMenuCommandOpensIt) {
    shell::ResetDeferred();
    shell::ResetSysInfo();
    testsupport::TempDir tmp;
    // The desktop's opener stands in as a script that notes what it got.
    const fs::path bin = tmp / "bin";
    const fs::path seen = tmp / "opened.txt";
    tmp.write("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + seen.string() + ".part' && mv '" + seen.string() +
                                  ".part' '" + seen.string() + "'\n");
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    struct PathFirst {
        std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
        explicit PathFirst(const fs::path& dir) { setenv("PATH", (dir.string() + ":" + old).c_str(), 1); }
        ~PathFirst() { setenv("PATH", old.c_str(), 1); }
    } path(bin);

    // The client runs in a base directory with the demo base's manual.
    const fs::path base = tmp / "base";
    fs::create_directories(base);
    ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / kManual));
    fs::copy_file(testsupport::DemoBase() / kManual, base / kManual);
    testsupport::ScopedCwd cwd(base);
    shell::SetBaseDirectory(base);
    platform::ui::MessageBoxRecorder boxes;
    ClientShell client;
    CMainFrame* frame = client.Start();
    ASSERT_NE(frame, nullptr);
    frame->ShowMaximised();
    testsupport::PumpEvents(200);
    frame->RunCommand(ID_MANUAL_DOC);
    for (int i = 0; i < 100 && !fs::exists(seen); ++i) testsupport::PumpEvents(50);
    EXPECT_TRUE(boxes.shown().empty()) << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
    ASSERT_TRUE(fs::exists(seen));
    EXPECT_EQ(fs::path(Bytes(seen)), fs::absolute(base / kManual));
    frame->Destroy();
    testsupport::PumpEvents(50);
    shell::ResetDeferred();
}

}  // namespace
