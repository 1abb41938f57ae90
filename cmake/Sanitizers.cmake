# One switch for the whole tree: the sanitizers must reach every object and the final links.
if(QV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# Outside the sanitizers every function and datum has a section of its own, so that the program's
# --gc-sections link leaves out what nothing refers to (see updater/app).
if(NOT QV_SANITIZE)
  add_compile_options(-ffunction-sections -fdata-sections)
endif()
