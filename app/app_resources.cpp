// Decoding of the built-in images.
#include "app/app_resources.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include "app/embedded_resources.inc"

namespace app {

namespace {

template <std::size_t N>
wxBitmap Decode(const unsigned char (&bytes)[N]) {
  wxMemoryInputStream stream(bytes, N);
  wxImage image;
  if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG)) return wxBitmap();
  return wxBitmap(image);
}

}  // namespace

wxBitmap LoadAppBitmap(AppImage image) {
  switch (image) {
    case AppImage::kApplication: return Decode(kResource_app);
    case AppImage::kConnected: return Decode(kResource_connected);
    case AppImage::kDisconnected: return Decode(kResource_disconnected);
    case AppImage::kLogo: return Decode(kResource_logo);
  }
  return wxBitmap();
}

wxIcon LoadAppIcon(AppImage image) {
  wxIcon icon;
  icon.CopyFromBitmap(LoadAppBitmap(image));
  return icon;
}

}  // namespace app
