# The Windows program: the core, the Win32 adapter and its resources, linked
# statically so the exe needs no DLL beyond the system's.
add_library(vantorel_win32 STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Win32Util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowClass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GdiSurface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PopupListWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XPButtonWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Clipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsDialogWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Capture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BuildPaneWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
)
target_link_libraries(vantorel_win32 PUBLIC vantorel_core comctl32 gdi32 user32 advapi32 shell32 comdlg32 ole32 msimg32)
target_compile_definitions(vantorel_win32 PUBLIC UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
target_compile_options(vantorel_win32 PRIVATE ${VANTOREL_WARNINGS})

add_executable(vantorel WIN32 ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${CMAKE_CURRENT_LIST_DIR}/vantorel.rc)
target_link_libraries(vantorel PRIVATE vantorel_win32)
target_compile_options(vantorel PRIVATE ${VANTOREL_WARNINGS})
target_link_options(vantorel PRIVATE -static -municode -mwindows)
set_target_properties(vantorel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
