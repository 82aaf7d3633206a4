# The text layout and what it needs of the report core.
sorvamet_fuzz_library(fuzz_text_layout
  UNITS report/core/zdHTMLTags.cpp report/core/zdDrawText.cpp report/core/zdWideStrings.cpp
  LIBS fuzz_gfx)
sorvamet_fuzz_target(zdtagfuzz zdtagfuzz.cpp LIBS fuzz_text_layout)
