// Stands for the download module with its network side: its entry starts
// the HTTP library, as the real module does before its dialog.
#include "platform/net.h"

extern "C" __attribute__((visibility("default"))) void Dolvane() { platform::InitNetwork(); }
