# Writes OUTPUT: one byte array per file in FILES (";"-separated), named by the file's stem
# (app.png -> kResource_app), so that the program needs no files beside it for its images.
set(text "// Generated from res/ at build time; do not edit.\n")
string(REPLACE "," ";" FILES "${FILES}")
foreach(path ${FILES})
  get_filename_component(stem ${path} NAME_WE)
  file(READ ${path} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND text "inline constexpr unsigned char kResource_${stem}[] = {${bytes}};\n")
endforeach()
file(WRITE ${OUTPUT}.tmp "${text}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
