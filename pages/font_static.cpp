// The styled static text control.
#include "pages/font_static.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcscreen.h>
#include <wx/msgdlg.h>
#include <wx/tokenzr.h>

#include "pages/dialog_units.h"

namespace pages {

void FontStaticStyle::Apply(const wxString& newFace, int newHeight, const wxColour& colour,
                            std::uint8_t flags) {
  face = newFace;
  height = newHeight;
  textColour = colour;
  if (flags & kFontBold) bold = true;
  if (flags & kFontItalic) italic = true;
  if (flags & kFontUnderline) underline = true;
  if (flags & kFontStrikeOut) strikeOut = true;
  if (flags & kFontAntialiased) antialiased = true;
  if (flags & kFontAlignCentre)
    align = TextAlign::kCentre;
  else if (flags & kFontAlignRight)
    align = TextAlign::kRight;
  else
    align = TextAlign::kLeft;
}

std::vector<wxString> WrapTextLines(const wxString& text, int width,
                                    const std::function<int(const wxString&)>& measure) {
  std::vector<wxString> lines;
  wxString normalised = text;
  normalised.Replace("\r\n", "\n");
  wxStringTokenizer paragraphs(normalised, "\n", wxTOKEN_RET_EMPTY_ALL);
  while (paragraphs.HasMoreTokens()) {
    const wxString paragraph = paragraphs.GetNextToken();
    wxString line;
    wxStringTokenizer words(paragraph, " ", wxTOKEN_STRTOK);
    if (!words.HasMoreTokens()) {
      lines.push_back(paragraph);
      continue;
    }
    while (words.HasMoreTokens()) {
      const wxString word = words.GetNextToken();
      const wxString candidate = line.empty() ? word : line + " " + word;
      if (!line.empty() && measure(candidate) > width) {
        lines.push_back(line);
        line = word;
      } else {
        line = candidate;
      }
    }
    lines.push_back(line);
  }
  return lines;
}

namespace {

constexpr int kNormalWeight = 400;
constexpr int kBoldWeight = 900;  // the heavy weight that bold labels are drawn in

// The face's em size that gives the wanted cell height (ascent + descent): fonts are asked
// for by em size, the styles give cell heights.
wxFont DefaultFontFactory(const FontStaticStyle& style, int cellHeight) {
  auto make = [&style](int pixels) {
    wxFontInfo info(wxSize(0, pixels));
    info.FaceName(style.face)
        .Weight(style.bold ? kBoldWeight : kNormalWeight)
        .Italic(style.italic)
        .Underlined(style.underline)
        .Strikethrough(style.strikeOut);
    return wxFont(info);
  };
  wxFont font = make(cellHeight);
  if (!font.IsOk() || cellHeight <= 0) return font;
  wxFontMetrics metrics;
  {
    wxScreenDC dc;  // measuring only
    dc.SetFont(font);
    metrics = dc.GetFontMetrics();
  }
  const int cell = metrics.ascent + metrics.descent;
  if (cell > cellHeight) {
    const int pixels = std::max(1, (cellHeight * cellHeight + cell / 2) / cell);
    font = make(pixels);
  }
  return font;
}

CFontStatic::FontFactory& Factory() {
  static CFontStatic::FontFactory factory = DefaultFontFactory;
  return factory;
}

struct FailureState {
  CFontStatic::FailureReporter reporter = [](const wxString& message) {
    wxMessageBox(message, wxMessageBoxCaptionStr, wxOK);
  };
  bool reported = false;
};

FailureState& Failure() {
  static FailureState state;
  return state;
}

// A box raised inside a paint would repaint the label under it and raise another, so the
// report waits until the paint is over, and comes once.
void ReportFontFailure() {
  FailureState& state = Failure();
  if (state.reported) return;
  state.reported = true;
  const wxString message = "Font could not be created!";
  if (wxTheApp) {
    wxTheApp->CallAfter([message] { Failure().reporter(message); });
  } else {
    state.reporter(message);
  }
}

}  // namespace

void CFontStatic::SetFontFactory(FontFactory factory) {
  Factory() = factory ? std::move(factory) : FontFactory(DefaultFontFactory);
}

void CFontStatic::SetFailureReporter(FailureReporter reporter) {
  if (reporter) Failure().reporter = std::move(reporter);
  Failure().reported = false;
}

CFontStatic::CFontStatic(wxWindow* parent, wxWindowID id, const wxString& caption,
                         const wxPoint& pos, const wxSize& size) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
  SetLabel(caption);
  // Every paint's device context asks for the window's colours; without own ones that is a
  // theme look-up each time the value changes. The paint itself uses the style's colours.
  SetOwnForegroundColour(GetForegroundColour());
  SetOwnBackgroundColour(GetBackgroundColour());
  Bind(wxEVT_PAINT, &CFontStatic::OnPaint, this);
}

void CFontStatic::SetText(const wxString& text) {
  if (text == text_) return;  // same pixels: no paint
  text_ = text;
  Refresh();
}

void CFontStatic::SetFontStyle(const wxString& face, int height, const wxColour& colour,
                               std::uint8_t flags) {
  style_.Apply(face, height, colour, flags);
  fontValid_ = false;
}

void CFontStatic::SetFillBackground(const wxColour& colour) {
  style_.fillBackground = true;
  style_.background = colour;
  Refresh();
}

wxSize CFontStatic::DoGetBestSize() const {
  const DialogUnits units = DialogUnits::For(this);
  return {units.Pixels(40), units.Pixels(style_.height + 4)};
}

wxFont CFontStatic::PaintFont() {
  if (!fontValid_) {
    const int cellHeight = DialogUnits::For(this).Pixels(style_.height);
    font_ = Factory()(style_, cellHeight);
    fontValid_ = true;
    if (!font_.IsOk()) ReportFontFailure();
  }
  return font_.IsOk() ? font_ : GetFont();
}

void CFontStatic::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxRect client(GetClientSize());
  const wxColour back = style_.fillBackground ? style_.background
                                              : (GetParent() ? GetParent()->GetBackgroundColour()
                                                             : GetBackgroundColour());
  dc.SetBackground(wxBrush(back));
  dc.Clear();

  const wxString text = ShownText();
  if (text.empty()) return;
  const wxFont font = PaintFont();
  dc.SetFont(font);
  dc.SetTextForeground(style_.textColour);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);

  // Measuring the line height lays out text; the value labels repaint every few milliseconds
  // with the same font.
  if (lineHeight_ <= 0 || !(font == lineHeightFont_)) {
    lineHeight_ = dc.GetCharHeight();
    lineHeightFont_ = font;
  }
  const int lineHeight = lineHeight_;
  const auto measure = [&dc](const wxString& s) { return dc.GetTextExtent(s).x; };
  int y = client.y;
  for (const wxString& line : WrapTextLines(text, client.width, measure)) {
    if (y >= client.GetBottom() + 1) break;
    const int w = measure(line);
    int x = client.x;
    if (style_.align == TextAlign::kCentre)
      x += (client.width - w) / 2;
    else if (style_.align == TextAlign::kRight)
      x += client.width - w;
    dc.DrawText(line, x, y);
    y += lineHeight;
  }
}

}  // namespace pages
