// Entry of the program.
#include "app/application.h"

wxIMPLEMENT_APP(Vezazivedov_sys_testApp);
