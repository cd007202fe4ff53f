# The Windows manifest must ask for visual styles and the caller's rights, and must not
# declare dpi awareness: the windows are laid out in pixels at 96 dpi and Windows scales them.
# Usage: cmake -DMANIFEST=<file> -P check_manifest.cmake
file(READ ${MANIFEST} text)
foreach(required "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""
                 "publicKeyToken=\"6595b64144ccf1df\"" "level=\"asInvoker\"")
  string(FIND "${text}" "${required}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${MANIFEST} lacks ${required}")
  endif()
endforeach()
string(REGEX MATCH "<[^!>]*[dD]pi[aA]ware" awareness "${text}")
if(awareness)
  message(FATAL_ERROR "${MANIFEST} declares dpi awareness: ${awareness}")
endif()
