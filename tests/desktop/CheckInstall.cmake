# Installs the build into a fresh prefix and checks what a desktop needs from it: the
# program, the desktop entry, the icons it names and the AppStream metadata, each where the
# freedesktop.org conventions look for it, and consistent with one another.
#
# cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... [-DAPPSTREAMCLI=...] -P CheckInstall.cmake

foreach(var BUILD_DIR PREFIX APP_ID)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(failures 0)
macro(fail text)
  message(SEND_ERROR "${text}")
  math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(desktop_entry "share/applications/${APP_ID}.desktop")
set(svg_icon "share/icons/hicolor/scalable/apps/${APP_ID}.svg")
set(png_icon "share/icons/hicolor/48x48/apps/${APP_ID}.png")
set(metainfo "share/metainfo/${APP_ID}.metainfo.xml")
foreach(path bin/velquor ${desktop_entry} ${svg_icon} ${png_icon} ${metainfo})
  if(NOT EXISTS "${PREFIX}/${path}" OR IS_DIRECTORY "${PREFIX}/${path}")
    fail("not installed: ${path}")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} file(s) missing from the installation")
endif()

# The program must be executable by everyone.
execute_process(COMMAND test -x "${PREFIX}/bin/velquor" RESULT_VARIABLE not_executable)
if(NOT not_executable EQUAL 0)
  fail("bin/velquor is not executable")
endif()

# PNG: the signature, then the IHDR chunk with width and height as 32-bit big-endian.
file(READ "${PREFIX}/${png_icon}" header LIMIT 24 HEX)
string(SUBSTRING "${header}" 0 16 signature)
string(SUBSTRING "${header}" 24 8 chunk_type)
if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT chunk_type STREQUAL "49484452")
  fail("${png_icon} is not a PNG file")
else()
  string(SUBSTRING "${header}" 32 8 width_hex)
  string(SUBSTRING "${header}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(NOT width EQUAL 48 OR NOT height EQUAL 48)
    fail("${png_icon} is ${width}x${height}, not 48x48")
  endif()
endif()

file(READ "${PREFIX}/${svg_icon}" svg)
if(NOT svg MATCHES "<svg[ \t\r\n]")
  fail("${svg_icon} is not an SVG image")
endif()

# The desktop entry starts the installed program and names the installed icon.
file(STRINGS "${PREFIX}/${desktop_entry}" exec_lines REGEX "^Exec=")
file(STRINGS "${PREFIX}/${desktop_entry}" icon_lines REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec_program "${exec_lines}")
if(NOT exec_program STREQUAL "velquor")
  fail("the desktop entry starts \"${exec_program}\", not the installed velquor")
endif()
if(NOT icon_lines STREQUAL "Icon=${APP_ID}")
  fail("the desktop entry names \"${icon_lines}\", not the installed icon ${APP_ID}")
endif()

# The metainfo file is about this component and launches this desktop entry.
file(READ "${PREFIX}/${metainfo}" xml)
if(NOT xml MATCHES "<id>${APP_ID}</id>")
  fail("${metainfo} does not carry the id ${APP_ID}")
endif()
if(NOT xml MATCHES "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
  fail("${metainfo} does not launch ${APP_ID}.desktop")
endif()

# AppStream's own look at the installed tree: the metainfo file together with the desktop
# entry and icon it refers to.
if(APPSTREAMCLI)
  execute_process(
    COMMAND "${APPSTREAMCLI}" validate-tree --no-net "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    fail("appstreamcli validate-tree failed:\n${output}")
  endif()
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) of the installation failed")
endif()
message(STATUS "installation in ${PREFIX} as expected")
