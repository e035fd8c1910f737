# The report templates go into Qr/ of the program folder (build/bin), where the
# programs and tests look for them. A template is copied again only when its
# source changes, so one edited in the designer under build/bin stays until then.
file(GLOB CLSERVICE_TEMPLATES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/Qr/*.frf)
set(CLSERVICE_TEMPLATE_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Qr)
set(CLSERVICE_TEMPLATE_COPIES)
foreach(template ${CLSERVICE_TEMPLATES})
  get_filename_component(name ${template} NAME)
  add_custom_command(OUTPUT ${CLSERVICE_TEMPLATE_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CLSERVICE_TEMPLATE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${template} ${CLSERVICE_TEMPLATE_DIR}/${name}
    DEPENDS ${template}
    COMMENT "Report template ${name}"
    VERBATIM)
  list(APPEND CLSERVICE_TEMPLATE_COPIES ${CLSERVICE_TEMPLATE_DIR}/${name})
endforeach()
add_custom_target(report_templates ALL DEPENDS ${CLSERVICE_TEMPLATE_COPIES})
foreach(target clservice tst_templatefile)
  if(TARGET ${target})
    add_dependencies(${target} report_templates)
  endif()
endforeach()
