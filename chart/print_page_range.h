// Page ranges printed through the desktop's (GTK) printer.
#pragma once

#include <wx/print.h>

namespace chart {

// wx's GTK printer tells GTK that the document holds only as many pages as the user chose, and
// GTK, which picks the chosen pages itself, then cuts every range that does not start at page 1
// short or drops it: pages 2 to 3 of 3 printed page 2 alone. Called from OnPreparePrinting, this
// has GTK count every page of the printout again (from its GetPageInfo), so the pages printed
// are the ones chosen. Does nothing when printout is not being printed through GTK.
void CountAllPagesForGtk(wxPrintout& printout);

}  // namespace chart
