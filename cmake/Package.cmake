# The Debian package: the three programs in /usr/bin, what they ship with
# (templates, import sample, manual, help texts) in /usr/share/clservice, a
# menu entry and its icon. An installed program copies the templates into
# the user's own program folder on first start (see ProgramFolder).

# "cpack" must not build every test and benchmark first; package.sh builds
# just the programs and the files they ship.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CLSERVICE_SHARE share/clservice)
install(TARGETS clservice mdsetup mdconn RUNTIME DESTINATION bin)
install(FILES ${CLSERVICE_TEMPLATES} DESTINATION ${CLSERVICE_SHARE}/Qr)
install(FILES ${CLSERVICE_IMPORT_SAMPLE} DESTINATION ${CLSERVICE_SHARE})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual DESTINATION ${CLSERVICE_SHARE})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/readme.txt ${PROJECT_SOURCE_DIR}/packaging/whatisnew.txt
        DESTINATION ${CLSERVICE_SHARE})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/clservice.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/clservice.svg DESTINATION share/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clservice)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "澄岚软件工作室 <service@chenglan.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "After-sales service manager for household-appliance dealers")
set(CPACK_PACKAGE_DESCRIPTION "Customer archive, repairs, return visits and complaints, statistics,
reminders and printed lists for the service counters of an appliance dealer.
Simplified Chinese user interface. Works on an embedded SQLite database or
on a shared PostgreSQL or SQL Server database.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build keeps debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the SQL drivers,
# Qt's Chinese texts, the CJK font and the opener
# of documents and addresses.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-psql, libqt6sql6-odbc, qt6-translations-l10n, fonts-noto-cjk, xdg-utils")
# Backups of a PostgreSQL archive use pg_dump/pg_restore; SQL Server is reached through FreeTDS.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "postgresql-client, tdsodbc")
include(CPack)

# The program-folder test copies what the build put beside the programs.
if(TARGET tst_programfolder)
  add_dependencies(tst_programfolder report_templates import_sample)
endif()
