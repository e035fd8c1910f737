# Fails when a source file includes a header of a library that its own
# library may not depend on. Each folder of src/ and tools/ is a library;
# tests/<folder> belongs to the library it tests.
#   cmake -DROOT=<source tree> -P check_layers.cmake

cmake_minimum_required(VERSION 3.25)

# Who may include whom, lowest first. service, reports and maintenance are
# siblings: none of them includes another.
set(allow_app)
set(allow_data app)
set(allow_components app data)
set(allow_reportengine app data components)
set(allow_access app data components reportengine)
set(allow_customers ${allow_access} access)
set(allow_service ${allow_customers} customers)
set(allow_reports ${allow_service})
set(allow_maintenance ${allow_service})
set(allow_clservice ${allow_service} service reports maintenance)
# The set-up tools stand beside the client, on the lower layers; the grid demo
# prints through the report engine.
set(allow_common app data components)
set(allow_mdsetup ${allow_common} common)
set(allow_mdconn ${allow_common} common)
set(allow_griddemo ${allow_common} reportengine)
# The report demo shows templates with the main window's own sources.
set(allow_reportdemo ${allow_customers} customers)
# Tests: their library's own, what it may include, and the test support.
set(allow_support app data components access)
set(allow_tools ${allow_common} common mdsetup mdconn support)
# Whole-system tests (crashes, lost servers, every input) drive the program's windows.
set(allow_hardening ${allow_clservice} clservice support)
# Fuzz targets feed outside input to the readers and parsers, the import's included.
set(allow_fuzz ${allow_service} maintenance)
# The manual's pictures open the program's windows.
set(allow_screenshots ${allow_clservice} clservice)

if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()

set(libraries app data components reportengine access customers service reports maintenance clservice
              common mdsetup mdconn griddemo reportdemo support tools hardening fuzz screenshots)
set(failures "")

function(check_folder folder owner)
  file(GLOB_RECURSE files "${folder}/*.h" "${folder}/*.cpp")
  set(allowed ${allow_${owner}} ${owner})
  if(owner MATCHES "^(app|data|components|reportengine|access|customers|service|reports|maintenance|clservice)$"
     AND folder MATCHES "/tests/")
    list(APPEND allowed support)
  endif()
  foreach(file ${files})
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
      if(header MATCHES "\\.\\./")
        list(APPEND failures "${file}: \"${header}\" reaches out by a relative path")
        continue()
      endif()
      if(NOT header MATCHES "/")
        continue()
      endif()
      string(REGEX REPLACE "/.*" "" lib "${header}")
      list(FIND libraries "${lib}" known)
      if(known LESS 0)
        continue()
      endif()
      list(FIND allowed "${lib}" ok)
      if(ok LESS 0)
        list(APPEND failures "${file}: ${owner} may not include \"${header}\"")
      endif()
    endforeach()
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

foreach(top src tools tests)
  file(GLOB folders LIST_DIRECTORIES true "${ROOT}/${top}/*")
  foreach(folder ${folders})
    if(NOT IS_DIRECTORY "${folder}")
      continue()
    endif()
    get_filename_component(owner "${folder}" NAME)
    if(top STREQUAL "tests" AND owner STREQUAL "layers")
      continue()
    endif()
    if(NOT owner IN_LIST libraries)
      list(APPEND failures "${folder}: a library folder the layer table does not know; add it to ${CMAKE_CURRENT_LIST_FILE}")
      continue()
    endif()
    check_folder("${folder}" "${owner}")
  endforeach()
endforeach()

# fuzz/ holds one library's files directly.
if(IS_DIRECTORY "${ROOT}/fuzz")
  check_folder("${ROOT}/fuzz" fuzz)
endif()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Includes against the layers:\n${text}")
endif()
message(STATUS "Every include keeps to the layers.")
