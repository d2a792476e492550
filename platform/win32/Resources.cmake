# Icon 128 in the Windows program file, made by windres from the icon the
# Linux build tree draws (quorvax_icongen in dist/).
function(quorvax_add_windows_icon target linux_build)
    set(QUORVAX_ICON_FILE ${linux_build}/dist/icons/quorvax.ico)
    configure_file(${CMAKE_SOURCE_DIR}/platform/win32/quorvax.rc.in
                   ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
