#pragma once
// The download host the list pages are fetched from: the program profile's
// setting under kDownloadHostKey, or the shop's own host. Window side (it
// reads the toolkit's profile); the main frame's project download and the
// show stage's show download both ask it.
#include <string>
#include <wx/config.h>

#include "shell/download_record.h"

namespace shell {

inline std::string DownloadHost() {
    const std::string fallback(kDefaultDownloadHost);
    wxConfigBase* config = wxConfigBase::Get(false);
    if (!config) return fallback;
    const wxString key = wxString::FromUTF8(kDownloadHostKey.data(), kDownloadHostKey.size());
    const wxString host = config->Read(key, wxString::FromUTF8(fallback));
    return host.empty() ? fallback : host.utf8_string();
}

}  // namespace shell
