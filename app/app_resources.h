// The program's images, built into the executable from res/.
#pragma once

#include <wx/bitmap.h>
#include <wx/icon.h>

namespace app {

enum class AppImage { kApplication, kConnected, kDisconnected, kLogo };

// The image as a bitmap; an empty bitmap when it cannot be decoded (no PNG handler).
wxBitmap LoadAppBitmap(AppImage image);
wxIcon LoadAppIcon(AppImage image);

}  // namespace app
