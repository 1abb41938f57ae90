# Warnings for our own targets: call qv_warnings(target).
function(qv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
