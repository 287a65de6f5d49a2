# Run by `cmake --install`: the menu entry, its Exec naming the launcher by its full path under
# the prefix being installed to. orvo_desktop_in and orvo_desktop_out come from app/CMakeLists.txt.
file(READ "${orvo_desktop_in}" desktop)
string(REPLACE "Exec=orvo-pedals-calibration"
       "Exec=\"${CMAKE_INSTALL_PREFIX}/bin/orvo-pedals-calibration\"" desktop "${desktop}")
file(WRITE "${orvo_desktop_out}" "${desktop}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
     FILES "${orvo_desktop_out}")
