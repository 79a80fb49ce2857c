# The plugin and the module stay apart: the plugin needs no module, the module no Designer.
# Run as cmake -DREADELF=... -DPLUGIN=... -DMODULE=... -P SeparateLibraries.cmake.
foreach(library PLUGIN MODULE)
  execute_process(COMMAND ${READELF} --dynamic ${${library}}
    OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot read ${${library}}")
  endif()
  string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed_${library} "${dynamic}")
endforeach()
if(needed_PLUGIN MATCHES "libjointrix\\.so")
  message(FATAL_ERROR "the Designer plugin links the module: ${needed_PLUGIN}")
endif()
if(needed_MODULE MATCHES "Designer|designer")
  message(FATAL_ERROR "the module links Designer code: ${needed_MODULE}")
endif()
