# The import wizard's sample source file goes beside the programs, copied
# again only when its source changes.
set(CLSERVICE_IMPORT_SAMPLE ${PROJECT_SOURCE_DIR}/samples/sample.xlsx)
add_custom_command(OUTPUT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/sample.xlsx
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
  COMMAND ${CMAKE_COMMAND} -E copy ${CLSERVICE_IMPORT_SAMPLE} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/sample.xlsx
  DEPENDS ${CLSERVICE_IMPORT_SAMPLE}
  COMMENT "Import sample sample.xlsx"
  VERBATIM)
add_custom_target(import_sample ALL DEPENDS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/sample.xlsx)
foreach(target clservice mdsetup tst_import)
  if(TARGET ${target})
    add_dependencies(${target} import_sample)
  endif()
endforeach()
