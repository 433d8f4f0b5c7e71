// The programs' profile is written through the one save: a profile that is a
// link stays a link, and the toolkit does not write it again afterwards.
#include "platform/ui/profile.h"

#include <gtest/gtest.h>

#include <wx/fileconf.h>

#include <memory>
#include <string>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::ReadAll;
using testsupport::TempDir;

TEST(Profile, IsSavedThroughALinkAndNotWrittenAgain) {
    TempDir home, elsewhere;
    const fs::path link = home / ".Fittora";
    const fs::path real = elsewhere / "Fittora.ini";
    elsewhere.write("Fittora.ini", std::string("[Recent File List]\nfile1=old.dm3\n"));
    fs::create_symlink(real, link);
    {
        auto config = std::make_unique<wxFileConfig>("Fittora", "", wxString::FromUTF8(link.string()), "",
                                                     wxCONFIG_USE_LOCAL_FILE);
        EXPECT_EQ(config->Read("/Recent File List/file1", ""), "old.dm3");
        config->Write("/Recent File List/file1", wxString::FromUTF8("春季新款.dm3"));
        std::string error;
        ASSERT_TRUE(platform::ui::SaveProfile(*config, link, &error)) << error;
        EXPECT_TRUE(fs::is_symlink(link));
        fs::remove(real);  // whatever the toolkit would do at the end now shows
    }
    // The toolkit found nothing left to write: no file where the link points,
    // no plain file in the link's place.
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_FALSE(fs::exists(real));
    EXPECT_EQ(testsupport::FileNames(home.path()), std::vector<std::string>{".Fittora"});
}

TEST(Profile, HoldsWhatWasWritten) {
    TempDir home;
    const fs::path file = home / ".Pavanel";
    {
        wxFileConfig config("Pavanel", "", wxString::FromUTF8(file.string()), "", wxCONFIG_USE_LOCAL_FILE);
        config.Write("/Recent File List/file1", wxString::FromUTF8("春季新款.dm3"));
        ASSERT_TRUE(platform::ui::SaveProfile(config, file));
    }
    wxFileConfig again("Pavanel", "", wxString::FromUTF8(file.string()), "", wxCONFIG_USE_LOCAL_FILE);
    EXPECT_EQ(again.Read("/Recent File List/file1", "").utf8_string(), "春季新款.dm3");
    const auto bytes = ReadAll(file);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("file1="), std::string::npos);
}
