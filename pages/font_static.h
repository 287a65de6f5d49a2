// CFontStatic: a static text that paints itself with a chosen face, height, colour, style and
// alignment. The pedal pages use it for their value labels and captions, the main dialog and
// the button-assignment dialog for their status labels.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <wx/colour.h>
#include <wx/control.h>
#include <wx/font.h>
#include <wx/string.h>

namespace pages {

// Flags of SetFontStyle. Bits 0..4 only ever turn their style on; the alignment is replaced.
enum FontStaticFlag : std::uint8_t {
  kFontBold = 0x01,
  kFontItalic = 0x02,
  kFontUnderline = 0x04,
  kFontStrikeOut = 0x08,
  kFontAntialiased = 0x10,
  kFontAlignCentre = 0x20,
  kFontAlignRight = 0x80,  // when kFontAlignCentre is clear
};

enum class TextAlign { kLeft, kCentre, kRight };

// What a CFontStatic paints with; kept apart from the window so the style rules can be tested
// without a display.
struct FontStaticStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool antialiased = false;  // the text renderer always smooths glyphs; kept for callers
  bool fillBackground = false;
  TextAlign align = TextAlign::kLeft;
  wxString face = "MS Sans Serif";
  wxColour textColour{0, 0, 0};
  wxColour background;  // meaningful once fillBackground is set
  int height = 8;       // font cell height, pixels at 96 DPI

  void Apply(const wxString& newFace, int newHeight, const wxColour& colour, std::uint8_t flags);
};

// The lines of text when it is wrapped at blanks to width, as a word-breaking text draw does:
// line breaks in the text always break, a word wider than the width stands alone on its line.
std::vector<wxString> WrapTextLines(const wxString& text, int width,
                                    const std::function<int(const wxString&)>& measure);

class CFontStatic : public wxControl {
 public:
  // caption plays the template text: it is painted while no text has been set.
  CFontStatic(wxWindow* parent, wxWindowID id, const wxString& caption,
              const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

  // Stores the text and repaints; an empty text paints the caption again.
  virtual void SetText(const wxString& text);
  const wxString& GetText() const { return text_; }
  // The text that a paint shows.
  wxString ShownText() const { return text_.empty() ? GetLabel() : text_; }

  // Does not repaint; the next paint uses the new style.
  void SetFontStyle(const wxString& face, int height, const wxColour& colour, std::uint8_t flags);
  // Fills the client area with colour before drawing; without it the text sits on the
  // parent's background.
  void SetFillBackground(const wxColour& colour);
  const FontStaticStyle& Style() const { return style_; }

  bool AcceptsFocus() const override { return false; }

  // Builds the font of a style at a pixel cell height. An invalid font (wxNullFont) means the
  // font could not be created. Replaceable so that tests can make creation fail.
  using FontFactory = std::function<wxFont(const FontStaticStyle& style, int cellHeight)>;
  static void SetFontFactory(FontFactory factory);
  // Receives "Font could not be created!" once per process, outside any paint; the default
  // shows it in a message box. Setting a reporter re-arms the single report.
  using FailureReporter = std::function<void(const wxString& message)>;
  static void SetFailureReporter(FailureReporter reporter);

 protected:
  wxSize DoGetBestSize() const override;

 private:
  void OnPaint(wxPaintEvent& event);
  wxFont PaintFont();

  FontStaticStyle style_;
  wxString text_;
  wxFont font_;  // built at the first paint after a style change
  bool fontValid_ = false;
  wxFont lineHeightFont_;  // the font lineHeight_ was measured with
  int lineHeight_ = 0;
};

}  // namespace pages
