# A folder that runs on Windows as it stands: `cmake --install BUILD --prefix FOLDER` puts
# glimmerbox.exe there with the libraries it loads (Qt, libjpeg-turbo, the compiler's runtime)
# and the Qt plugins, in the places Qt looks for them: a folder per kind beside the program.

install(TARGETS glimmerbox RUNTIME DESTINATION .)
install(IMPORTED_RUNTIME_ARTIFACTS
    Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport libjpeg-turbo::turbojpeg
    DESTINATION .)

# The windows platform is what shows anything at all; the style gives the native look; the
# image formats read the JPEG placeholder and whatever pictures Qt's dialogs show.
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin DESTINATION platforms)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin DESTINATION styles)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QJpegPlugin Qt6::QICOPlugin Qt6::QGifPlugin
    DESTINATION imageformats)

# The compiler's own runtime: MinGW's DLLs where the compiler finds them, or Microsoft's
# redistributable libraries for Visual C++.
glimmerbox_compiler_runtime(GLIMMERBOX_COMPILER_RUNTIME)
if(GLIMMERBOX_COMPILER_RUNTIME)
    install(FILES ${GLIMMERBOX_COMPILER_RUNTIME} DESTINATION .)
    # Debian's copies carry their debugging information (libstdc++ is ten times its size with
    # it); `cmake --install --strip` leaves them as small as the program's own files.
    foreach(dll IN LISTS GLIMMERBOX_COMPILER_RUNTIME)
        get_filename_component(name "${dll}" NAME)
        install(CODE "if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
                                    \"\${CMAKE_INSTALL_PREFIX}/${name}\")
        endif()")
    endforeach()
elseif(MSVC)
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
    include(InstallRequiredSystemLibraries)
endif()
