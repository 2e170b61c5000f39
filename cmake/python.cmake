# python.cmake: finds a python3 that can import what a test needs. The first python3 on the PATH
# may be another one (a version manager's, say) without Debian's python3-* modules.
function(vorek_python_can_import result candidate)
  execute_process(COMMAND "${candidate}" -c "import ${VOREK_PYTHON_IMPORTS}"
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

# vorek_find_python(VARIABLE "module, module" DOC [REQUIRED]): the first python3 on the PATH that
# imports every module named.
macro(vorek_find_python variable imports doc)
  set(VOREK_PYTHON_IMPORTS "${imports}")
  find_program(${variable} NAMES python3 VALIDATOR vorek_python_can_import DOC "${doc}" ${ARGN})
endmacro()
