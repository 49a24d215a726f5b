# cmake --install: the runnable tree of build/bin (programs with their data files, help, panels
# and icons beside them, where the programs look for them) goes to <prefix>/lib/kz71, and the
# programs are linked into <prefix>/bin. Manual pages, the desktop entry and its icon go where
# the system looks for them.
set(KZ71_INSTALL_TREE lib/kz71)
set(KZ71_PROGRAMS tarn kz71sim kz71prog kz71-assembler)

install(DIRECTORY ${KZ71_BIN_DIR}/ DESTINATION ${KZ71_INSTALL_TREE} USE_SOURCE_PERMISSIONS
        # installed elsewhere
        REGEX "/(man|desktop)$" EXCLUDE
        # test programs
        PATTERN "tarn_fuzz_replay" EXCLUDE
        # what running the programs in build/bin leaves behind
        PATTERN "settings.ini" EXCLUDE
        PATTERN "*.tmp" EXCLUDE
        PATTERN "verInfo*.txt" EXCLUDE
        PATTERN "win32.info" EXCLUDE
        REGEX "/examples/.*\\.(hex|epr|dbg)$" EXCLUDE)

# Links in bin for the programs the tree holds (kz71prog and the IDE may not be built).
install(CODE "
    set(tree \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KZ71_INSTALL_TREE}\")
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(MAKE_DIRECTORY \"\${bin}\")
    foreach(program ${KZ71_PROGRAMS})
        if(EXISTS \"\${tree}/\${program}\")
            file(CREATE_LINK ../${KZ71_INSTALL_TREE}/\${program} \"\${bin}/\${program}\" SYMBOLIC)
            message(STATUS \"Linking: \${bin}/\${program}\")
        endif()
    endforeach()")

install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/man/ DESTINATION share/man/man1 FILES_MATCHING
        PATTERN "*.1")

if(TARGET kz71-assembler)
    # The desktop entry names the IDE by its full path, so it starts also when bin is not on
    # the desktop's PATH.
    install(CODE "
        file(READ \"${CMAKE_SOURCE_DIR}/data/desktop/kz71-assembler.desktop\" entry)
        string(REPLACE \"Exec=kz71-assembler\" \"Exec=\${CMAKE_INSTALL_PREFIX}/bin/kz71-assembler\"
               entry \"\${entry}\")
        set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/kz71-assembler.desktop\")
        file(WRITE \"\${file}\" \"\${entry}\")
        message(STATUS \"Installing: \${file}\")")
    install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/kz71-assembler.svg
            DESTINATION share/icons/hicolor/scalable/apps)
    install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/kz71-assembler.png
            DESTINATION share/icons/hicolor/48x48/apps)
endif()
