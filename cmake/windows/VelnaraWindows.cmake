# Helpers of the Windows build.
#
# velnara_windows_deploy(TARGET [QT_PLUGINS platforms/qwindows ...])
#   after each link, copies next to TARGET the DLLs it needs from the prefix
#   (transitively, C++ runtime included) and the Qt plugins named, in their
#   folders (platforms/, imageformats/, ...), as the installer lays them out.
set(VELNARA_WINDOWS_DEPLOY_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/deploy-dlls.cmake)
function(velnara_windows_deploy target)
  cmake_parse_arguments(ARG "" "" "QT_PLUGINS" ${ARGN})
  if(NOT VELNARA_WINDOWS_PREFIX)
    message(FATAL_ERROR "velnara_windows_deploy: configure with the MinGW toolchain file")
  endif()
  set(objdump ${CMAKE_OBJDUMP})
  if(NOT objdump)
    set(objdump x86_64-w64-mingw32-objdump)
  endif()
  # Commas on the command line: a list there would split into arguments.
  string(REPLACE ";" "," plugins "${ARG_QT_PLUGINS}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${target}> -DPREFIX=${VELNARA_WINDOWS_PREFIX}
            "-DPLUGINS=${plugins}" -DOBJDUMP=${objdump} -P ${VELNARA_WINDOWS_DEPLOY_SCRIPT}
    VERBATIM)
endfunction()
