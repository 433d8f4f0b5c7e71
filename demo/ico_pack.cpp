// ico_pack: writes a picture as a ".ico" file (one 32-bit image), for the
// category icons of the fitting room's picture toolbar.
//   ico_pack INPUT.png OUTPUT.ico
#include <cstdio>
#include <wx/image.h>
#include <wx/init.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ico_pack INPUT.png OUTPUT.ico\n");
        return 2;
    }
    wxInitializer init;
    wxImage::AddHandler(new wxPNGHandler);
    wxImage::AddHandler(new wxICOHandler);
    wxImage image;
    if (!image.LoadFile(wxString::FromUTF8(argv[1]), wxBITMAP_TYPE_PNG)) {
        std::fprintf(stderr, "ico_pack: cannot read %s\n", argv[1]);
        return 1;
    }
    if (!image.SaveFile(wxString::FromUTF8(argv[2]), wxBITMAP_TYPE_ICO)) {
        std::fprintf(stderr, "ico_pack: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
