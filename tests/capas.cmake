# Checks the arrows between the source folders (run by CTest as `cmake -DROOT=... -P`):
#   db/ and platform/ include nothing from app/, editors/, data/, documents/ or search/;
#   db/ includes nothing from platform/;
#   data/ and db/ use no Qt Widgets.
# Prints every offending line and fails when there is one.
if(NOT ROOT OR NOT IS_DIRECTORY "${WIDGETS_DIR}")
  message(FATAL_ERROR "ROOT and WIDGETS_DIR (Qt Widgets' include folder) must be set")
endif()

set(offences "")

function(check_folder folder pattern why)
  file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(src IN LISTS sources)
    file(STRINGS "${src}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
      if(line MATCHES "${pattern}")
        file(RELATIVE_PATH rel "${ROOT}" "${src}")
        list(APPEND offences "${rel}: ${line}  (${why})")
      endif()
    endforeach()
  endforeach()
  set(offences "${offences}" PARENT_SCOPE)
endfunction()

set(program "[\"<](app|editors|data|documents|search)/")
check_folder(db "${program}" "db/ is below the program")
check_folder(platform "${program}" "platform/ is below the program")
check_folder(db "[\"<]platform/" "db/ is below platform/")
# Every header Qt Widgets installs, by name (QWidget, QLineEdit, qwidget.h, ...).
file(GLOB widget_headers RELATIVE "${WIDGETS_DIR}" "${WIDGETS_DIR}/*")
list(JOIN widget_headers "|" widget_names)
string(REPLACE "." "\\." widget_names "${widget_names}")
set(widgets "[\"<](QtWidgets/)?(QtWidgets|${widget_names})[\">]")
check_folder(db "${widgets}" "db/ uses no widgets")
check_folder(data "${widgets}" "data/ uses no widgets")

list(LENGTH offences count)
if(count GREATER 0)
  foreach(o IN LISTS offences)
    message("${o}")
  endforeach()
  message(FATAL_ERROR "${count} include(s) cross the layers the wrong way")
endif()
message("layers: ok")
