// Entry of the program.
#include "app/application.h"

wxIMPLEMENT_APP(app::Vezazivedov_sys_testApp);
