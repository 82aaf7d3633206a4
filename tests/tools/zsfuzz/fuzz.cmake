# The script front end only: XML model, lexer, language registry, grammars,
# parser.
set(_units)
foreach(_unit zs_xml zs_iparser zs_iinterpreter zs_iilparser zs_ipascal zs_icpp zs_ibasic zs_ijs)
  list(APPEND _units script/${_unit}.cpp)
endforeach()
sorvamet_fuzz_library(fuzz_script_front UNITS ${_units} ${SORVAMET_BINARY_DIR}/script/zs_grammar_data.cpp
  LIBS fuzz_objects)
sorvamet_fuzz_target(zsfuzz zsfuzz.cpp LIBS fuzz_script_front)
