# Checks the arrows between the source folders (run by CTest as `cmake -DROOT=... -P`): every
# folder below names the folders its files may include besides its own, and an include of any
# other folder of the program is an offence. data/ and db/ also use no Qt Widgets.
# Prints every offending line and fails when there is one.
if(NOT ROOT OR NOT IS_DIRECTORY "${WIDGETS_DIR}")
  message(FATAL_ERROR "ROOT and WIDGETS_DIR (Qt Widgets' include folder) must be set")
endif()

# Each folder with the folders it may reach; the platform's parts one by one, since they form
# layers of their own.
set(layers
  "app: editors documents search data platform db"
  "editors: data platform db"
  "documents: data platform db"
  "search: data platform db"
  "data: db"
  "platform/controls: platform/dialogs db"
  "platform/dialogs: platform/report platform/mail db"
  "platform/config:"
  "platform/report: db"
  "platform/mail: db"
  "db:"
  "tools: data db"
  "fuzz: platform db"
)
# Folders that may include any other: the tests and the benchmarks drive the whole program.
set(free_folders tests bench)

set(folders "")
foreach(layer IN LISTS layers)
  string(REGEX REPLACE ":.*" "" folder "${layer}")
  list(APPEND folders "${folder}")
endforeach()
# The top of the program's folders, as an include names them ("platform/controls/...").
set(targets ${folders} platform ${free_folders})
list(REMOVE_DUPLICATES targets)

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

foreach(layer IN LISTS layers)
  string(REGEX REPLACE ":.*" "" folder "${layer}")
  string(REGEX REPLACE "^[^:]*:[ ]*" "" allowed "${layer}")
  separate_arguments(allowed UNIX_COMMAND "${allowed}")
  list(APPEND allowed "${folder}")
  # Every folder of the program that is neither this one, nor one it may reach, nor a folder
  # holding it or held by one it may reach ("platform" for "platform/controls").
  set(forbidden "")
  foreach(target IN LISTS targets)
    set(ok FALSE)
    foreach(a IN LISTS allowed)
      if(target STREQUAL a OR target MATCHES "^${a}/" OR a MATCHES "^${target}/")
        set(ok TRUE)
      endif()
    endforeach()
    if(NOT ok)
      list(APPEND forbidden "${target}")
    endif()
  endforeach()
  if(forbidden)
    list(JOIN forbidden "|" names)
    list(JOIN allowed ", " shown)
    check_folder("${folder}" "[\"<](${names})/" "${folder}/ may include only ${shown}")
  endif()
endforeach()

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
