# What every Windows build here shares. Included by the top-level project and by
# the benchmark's floor programs and launcher.

# The shipped program may be at most this many bytes (checked by the imports test).
set(BRINDLECAP_SIZE_LIMIT 307200)

# The Windows headers as every part uses them: Unicode, lean, no min/max macros,
# and the oldest Windows the code may call into (Windows 2000 unless told).
function(brindlecap_windows_definitions)
  set(version 0x0500)
  if(ARGC GREATER 0)
    set(version ${ARGV0})
  endif()
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=${version} WINVER=${version} _WIN32_IE=0x0600)
endfunction()
