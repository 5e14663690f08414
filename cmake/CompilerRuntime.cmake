# glimmerbox_compiler_runtime(VAR): the full paths of the DLLs that MinGW-w64's compiler links
# every program against (the C++ library, GCC's support library, winpthreads); empty for other
# compilers or when the runtime is linked statically.
function(glimmerbox_compiler_runtime var)
    set(found)
    if(MINGW)
        foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
            execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                            OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
            # The compiler answers with the bare name when it does not have the file.
            if(IS_ABSOLUTE "${path}" AND EXISTS "${path}")
                get_filename_component(path "${path}" REALPATH)
                list(APPEND found "${path}")
            endif()
        endforeach()
    endif()
    set(${var} "${found}" PARENT_SCOPE)
endfunction()
